// The font families the engine knows by name. SetFontName writes one of them in the spelling
// given here ("arial" becomes "Arial"), so that readers matching font names exactly find them;
// any other name is kept as the script gives it.
var AllFonts = [
  "Aptos", "Arial", "Arial Black", "Arial Narrow", "Book Antiqua", "Bookman Old Style",
  "Calibri", "Calibri Light", "Cambria", "Candara", "Century Gothic", "Comic Sans MS",
  "Consolas", "Constantia", "Corbel", "Courier New", "DejaVu Sans", "DejaVu Sans Mono",
  "DejaVu Serif", "Franklin Gothic Medium", "Garamond", "Georgia", "Helvetica", "Impact",
  "Liberation Mono", "Liberation Sans", "Liberation Serif", "Lucida Console",
  "Lucida Sans Unicode", "Noto Sans", "Noto Serif", "Palatino Linotype", "Segoe UI", "Tahoma",
  "Times New Roman", "Trebuchet MS", "Verdana"
];
