#include <stdexcept>
#include <string>

#include "js/js_text.h"
#include "js/worksheet_methods.h"
#include "core/utf.h"
#include "model/workbook.h"

namespace sx {

namespace {

JSValueRef done(const Call& call) { return JSValueMakeUndefined(call.context); }

// Removes the sheet; its handles throw from now on.
JSValueRef deleteSheet(const Call& call) {
  call.args.expectCount(0, 0);
  Sheet& sheet = thisSheet(call);
  sheet.workbook().removeSheet(sheet);
  return done(call);
}

JSValueRef setVisible(const Call& call) {
  call.args.expectCount(1, 1);
  Sheet& sheet = thisSheet(call);
  const bool visible = call.args.boolean(0);
  sheet.workbook().setSheetVisibility(sheet,
                                      visible ? SheetVisibility::Visible : SheetVisibility::Hidden);
  return done(call);
}

JSValueRef getVisible(const Call& call) {
  call.args.expectCount(0, 0);
  return JSValueMakeBoolean(call.context,
                            thisSheet(call).settings().visibility == SheetVisibility::Visible);
}

// "visible", "hidden" or "veryHidden" (shown again only by a program).
JSValueRef setVisibility(const Call& call) {
  call.args.expectCount(1, 1);
  Sheet& sheet = thisSheet(call);
  sheet.workbook().setSheetVisibility(sheet, parseSheetVisibility(call.args.string(0)));
  return done(call);
}

JSValueRef getVisibility(const Call& call) {
  call.args.expectCount(0, 0);
  return makeString(call.context,
                    fromUtf8(sheetVisibilityName(thisSheet(call).settings().visibility)));
}

JSValueRef setActive(const Call& call) {
  call.args.expectCount(0, 0);
  Sheet& sheet = thisSheet(call);
  sheet.workbook().setActiveSheet(sheet);
  return done(call);
}

// A Color, or null for no tab colour.
JSValueRef setTabColor(const Call& call) {
  call.args.expectCount(1, 1);
  Sheet& sheet = thisSheet(call);
  std::optional<Color> color;
  if (!call.args.isNullish(0)) {
    color = call.args
                .object<ColorHandle>(0, colorClass(), "a Color from Api.CreateColorFromRGB or null")
                .color;
  }
  sheet.settings().tabColor = color;
  return done(call);
}

// The permissions an options object grants or withdraws: {formatCells: true, sort: false}.
void applyPermissions(const Call& call, size_t index, SheetProtection& protection) {
  JSContextRef context = call.context;
  if (call.args.isNullish(index)) return;
  if (!JSValueIsObject(context, call.args.at(index)) ||
      JSValueIsArray(context, call.args.at(index))) {
    call.args.fail(index, "an object of permissions or null");
  }
  JSObjectRef options = JSValueToObject(context, call.args.at(index), nullptr);
  JSPropertyNameArrayRef names = JSObjectCopyPropertyNames(context, options);
  const size_t count = JSPropertyNameArrayGetCount(names);
  try {
    for (size_t i = 0; i < count; ++i) {
      JSStringRef name = JSPropertyNameArrayGetNameAtIndex(names, i);
      const std::u16string key = toU16String(name);
      const SheetPermission permission = parseSheetPermission(key);
      JSValueRef value = JSObjectGetProperty(context, options, name, nullptr);
      if (!JSValueIsBoolean(context, value)) {
        throw ArgumentError(call.args.methodName() + ": permission \"" + toUtf8(key) +
                            "\" must be a boolean");
      }
      protection.allow(permission, JSValueToBoolean(context, value));
    }
  } catch (...) {
    JSPropertyNameArrayRelease(names);
    throw;
  }
  JSPropertyNameArrayRelease(names);
}

// Protect(password, options): null or "" for no password; options grant what users may still
// do (by default only selecting cells).
JSValueRef protect(const Call& call) {
  call.args.expectCount(0, 2);
  Sheet& sheet = thisSheet(call);
  SheetProtection protection;
  protection.on = true;
  if (!call.args.isNullish(0)) {
    const std::u16string password = call.args.string(0);
    if (!password.empty()) protection.passwordHash = legacyPasswordHash(password);
  }
  applyPermissions(call, 1, protection);
  sheet.settings().protection = protection;
  return done(call);
}

JSValueRef unprotect(const Call& call) {
  call.args.expectCount(0, 0);
  thisSheet(call).settings().protection = SheetProtection{};
  return done(call);
}

JSValueRef isProtected(const Call& call) {
  call.args.expectCount(0, 0);
  return JSValueMakeBoolean(call.context, thisSheet(call).settings().protection.on);
}

// Percent, 10 to 400, as the application allows.
JSValueRef setZoom(const Call& call) {
  call.args.expectCount(1, 1);
  Sheet& sheet = thisSheet(call);
  sheet.settings().zoom = static_cast<uint16_t>(call.args.integer(0, 10, 400));
  return done(call);
}

JSValueRef setDisplayGridlines(const Call& call) {
  call.args.expectCount(1, 1);
  Sheet& sheet = thisSheet(call);
  sheet.settings().showGridLines = call.args.boolean(0);
  return done(call);
}

JSValueRef setPrintGridlines(const Call& call) {
  call.args.expectCount(1, 1);
  Sheet& sheet = thisSheet(call);
  sheet.settings().printGridLines = call.args.boolean(0);
  return done(call);
}

// Points, 0 to 409, for every row without a height of its own.
JSValueRef setDefaultRowHeight(const Call& call) {
  call.args.expectCount(1, 1);
  Sheet& sheet = thisSheet(call);
  const double points = call.args.number(0);
  if (points < 0 || points > 409)
    throw std::out_of_range(call.args.methodName() + ": a row height runs from 0 to 409 points");
  sheet.settings().defaultRowHeight = points;
  return done(call);
}

}  // namespace

void addWorksheetSettingsMethods(std::vector<JSStaticFunction>& table) {
  table.push_back(worksheetMethod<deleteSheet>("Delete"));
  table.push_back(worksheetMethod<setVisible>("SetVisible"));
  table.push_back(worksheetMethod<getVisible>("GetVisible"));
  table.push_back(worksheetMethod<setVisibility>("SetVisibility"));
  table.push_back(worksheetMethod<getVisibility>("GetVisibility"));
  table.push_back(worksheetMethod<setActive>("SetActive"));
  table.push_back(worksheetMethod<setTabColor>("SetTabColor"));
  table.push_back(worksheetMethod<protect>("Protect"));
  table.push_back(worksheetMethod<unprotect>("Unprotect"));
  table.push_back(worksheetMethod<isProtected>("IsProtected"));
  table.push_back(worksheetMethod<setZoom>("SetZoom"));
  table.push_back(worksheetMethod<setDisplayGridlines>("SetDisplayGridlines"));
  table.push_back(worksheetMethod<setPrintGridlines>("SetPrintGridlines"));
  table.push_back(worksheetMethod<setDefaultRowHeight>("SetDefaultRowHeight"));
}

}  // namespace sx
