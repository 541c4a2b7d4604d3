// Only the engine objects are added.

// case: only the engine objects are added
same(window === globalThis, true); same(typeof builder.CreateFile, 'function');
same(typeof Api.GetSheets, 'function'); same(typeof JSON.stringify, 'function');
same(typeof Array.isArray, 'function');
builder = null; Api = null; same(typeof builder.SaveFile, 'function');
same(delete globalThis.Api, false);
