// XRegExp for the native scripts: regular expressions with the free-spacing flag "x", in which
// blanks and #-comments in the pattern are layout, not text (as in extended regular
// expressions elsewhere). Other flags go to RegExp as they are.
var XRegExp=(function(){function strip(p){var o="",k=!1;for(var j=0;j<p.length;j++){var c=p[j];if(c==="\\"){o+=c+(p[j+1]||"");j++;continue}if(c==="["){k=!0}else if(c==="]"){k=!1}if(!k&&/\s/.test(c))continue;if(!k&&c==="#"){while(j<p.length&&p[j]!=="\n")j++;continue}o+=c}return o}function X(p,f){f=f||"";var x=f.indexOf("x")>=0;return new RegExp(x?strip(p):p,f.replace("x",""))}X.escape=function(s){return String(s).replace(/[-\[\]{}()*+?.,\\^$|#\s]/g,"\\$&")};return X})();
