#include <stdexcept>
#include <string>

#include "js/js_text.h"
#include "js/worksheet_methods.h"
#include "model/sheet.h"

namespace sx {

namespace {

JSValueRef done(const Call& call) { return JSValueMakeUndefined(call.context); }

PageSetup& pageOf(const Call& call) { return thisSheet(call).settings().page; }

JSValueRef setPageOrientation(const Call& call) {
  call.args.expectCount(1, 1);
  PageSetup& page = pageOf(call);
  page.orientation = parsePageOrientation(call.args.string(0));
  return done(call);
}

// A paper name ("A4", "Letter", ...) or the file format's paper code (1 to 118).
JSValueRef setPaperSize(const Call& call) {
  call.args.expectCount(1, 1);
  PageSetup& page = pageOf(call);
  if (JSValueIsNumber(call.context, call.args.at(0))) {
    page.paperSize = static_cast<uint16_t>(call.args.integer(0, 1, 118));
  } else {
    if (!JSValueIsString(call.context, call.args.at(0))) call.args.fail(0, "a paper name or code");
    page.paperSize = parsePaperSize(call.args.string(0));
  }
  return done(call);
}

// Inches: left, right, top, bottom, and optionally the header's and footer's distance from the
// edge.
JSValueRef setPageMargins(const Call& call) {
  call.args.expectCount(4, 6);
  PageSetup& page = pageOf(call);
  PageMargins margins = page.margins;
  double* targets[] = {&margins.left,   &margins.right,  &margins.top,
                       &margins.bottom, &margins.header, &margins.footer};
  for (size_t i = 0; i < call.args.count(); ++i) {
    const double inches = call.args.number(i);
    if (inches < 0 || inches >= 50) {
      throw std::out_of_range(call.args.methodName() + ": argument " + std::to_string(i + 1) +
                              " must be from 0 to under 50 inches");
    }
    *targets[i] = inches;
  }
  page.margins = margins;
  return done(call);
}

// SetFitToPage(wide, tall): that many pages across and down (0: as many as it takes);
// SetFitToPage(null) prints at the normal scale again.
JSValueRef setFitToPage(const Call& call) {
  call.args.expectCount(1, 2);
  PageSetup& page = pageOf(call);
  if (call.args.count() == 1 && call.args.isNullish(0)) {
    page.fitToPage = false;
    return done(call);
  }
  call.args.expectCount(2, 2);
  const auto wide = static_cast<uint16_t>(call.args.integer(0, 0, 32767));
  const auto tall = static_cast<uint16_t>(call.args.integer(1, 0, 32767));
  page.fitToPage = true;
  page.fitToWidth = wide;
  page.fitToHeight = tall;
  return done(call);
}

// Texts with the application's codes: &L, &C and &R start the left, centre and right parts;
// &P is the page number, &N the page count, &D the date, &A the sheet name.
constexpr size_t kMaxHeaderLength = 255;

std::u16string headerText(const Call& call) {
  call.args.expectCount(1, 1);
  if (call.args.isNullish(0)) return u"";
  std::u16string text = call.args.string(0);
  if (text.size() > kMaxHeaderLength) {
    throw std::out_of_range(call.args.methodName() +
                            ": a header or footer holds at most 255 characters");
  }
  return text;
}

JSValueRef setHeader(const Call& call) {
  std::u16string text = headerText(call);
  pageOf(call).header = std::move(text);
  return done(call);
}

JSValueRef setFooter(const Call& call) {
  std::u16string text = headerText(call);
  pageOf(call).footer = std::move(text);
  return done(call);
}

}  // namespace

void addWorksheetPageSetupMethods(std::vector<JSStaticFunction>& table) {
  table.push_back(worksheetMethod<setPageOrientation>("SetPageOrientation"));
  table.push_back(worksheetMethod<setPaperSize>("SetPaperSize"));
  table.push_back(worksheetMethod<setPageMargins>("SetPageMargins"));
  table.push_back(worksheetMethod<setFitToPage>("SetFitToPage"));
  table.push_back(worksheetMethod<setHeader>("SetHeader"));
  table.push_back(worksheetMethod<setFooter>("SetFooter"));
}

}  // namespace sx
