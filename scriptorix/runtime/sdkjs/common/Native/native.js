function NativeOpenFileData(t,i,n,e){window.NATIVE_DOCUMENT_TYPE=nativeDocumentType(t,i,n,e);
  // The gateway of every builder.OpenFile (t "open", i the path) and builder.CreateFile
  // (t "create", i the format); n loads or creates the document. e.DstType is the kind of
  // document to edit: "XLSX", a workbook of any number of sheets, or "CSV", one sheet of data.
  // The engine passes no e, so without it the kind follows the source: a CSV file, or a
  // document created as "csv", is edited as one sheet of data.
  if (t === "open") return n.OpenDocument(i, window.NATIVE_DOCUMENT_TYPE);
  if (t === "create") return n.CreateDocument(i, window.NATIVE_DOCUMENT_TYPE);
  throw new TypeError("NativeOpenFileData: unknown request " + jQuery.describe(t));
}

function nativeDocumentType(t, i, n, e) {
  var given = e !== undefined && e !== null && e.DstType !== undefined;
  var type = given ? e.DstType : (t === "open" ? n.DetectFormat(i) : i);
  if (jQuery.type(type) !== "string" || !nativeSpreadsheetType().test(type)) {
    throw new TypeError("NativeOpenFileData: unsupported document type " + jQuery.describe(type));
  }
  // Macro-enabled workbooks and templates are edited as workbooks.
  return type.toUpperCase() === "CSV" ? "CSV" : "XLSX";
}

function nativeSpreadsheetType() {
  return XRegExp("^ (?: xlsx | xlsm | xltx | csv ) $", "xi");
}
