// Proto is an ordinary key.
// The helper's results object is `{}` filled by key; "__proto__" must be a key like any other.

// case: proto is an ordinary key
var results = {}; results['__proto__'] = 5; results['x'] = {a: 1};
same(JSON.stringify(results), '{"__proto__":5,"x":{"a":1}}');
var other = {}; other['__proto__'] = {polluted: true};
same(Object.getPrototypeOf(other) === Object.prototype, true); same(({}).polluted, undefined);
same(JSON.stringify(other), '{"__proto__":{"polluted":true}}');
var child = Object.create(other); same(Object.getPrototypeOf(child) === other, true);
same(Object.keys(JSON.parse('{"__proto__":1}')), ['__proto__']);
