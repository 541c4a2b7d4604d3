// Native errors are catchable by kind.

// case: native errors are catchable by kind
builder.CreateFile('xlsx'); var s = Api.GetActiveSheet();
try { s.GetRange('A1').SetWrap(1); } catch (e) { same(e instanceof TypeError, true); }
try { s.GetRangeByNumber(-1, 0); } catch (e) { same(e instanceof RangeError, true); }
try { Api.AddSheet('Sheet1'); } catch (e) { same(e instanceof Error, true); same(e.name, 'Error'); }
TypeError = null; try { s.GetRange('A1').SetWrap(1); } catch (e) { same(e.name, 'TypeError'); }
