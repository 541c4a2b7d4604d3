#pragma once

#include <vector>

#include "io/file_format.h"
#include "io/package_writer.h"
#include "model/workbook.h"

namespace sx {

// Every part the model owns, in package order (the content-types part is added by
// writePackage). `format` picks the workbook part's content type.
// A workbook opened from a package keeps that package's other parts (see xlsx_edit_writer.h).
std::vector<PackagePart> buildWorkbookParts(const Workbook& workbook, FileFormat format);

// The workbook part's content type for `format`.
std::string workbookContentType(FileFormat format);

}  // namespace sx
