// No host facilities.

// case: no host facilities
['require', 'process', 'XMLHttpRequest', 'fetch', 'setTimeout', 'setInterval',
'setImmediate', 'console', 'WebAssembly', 'print', 'load', 'readFile', 'Deno', 'Bun',
'module', 'exports', 'importScripts', 'WebSocket', 'Worker', 'navigator', 'document']
.forEach(function (name) { same(name + ':' + typeof globalThis[name], name + ':undefined'); });
