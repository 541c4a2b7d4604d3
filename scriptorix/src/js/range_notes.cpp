#include <string>

#include "core/utf.h"
#include "js/js_text.h"
#include "js/range_methods.h"
#include "js/sheet_objects_guard.h"
#include "model/sheet.h"

namespace sx {

namespace {

// The application keeps at most this many characters in a note.
constexpr size_t kMaxNoteLength = 32767;

JSValueRef done(const Call& call) { return JSValueMakeUndefined(call.context); }

std::pair<int32_t, int32_t> singleCell(const Call& call, const RangeTarget& target) {
  if (target.range().shape != RangeRef::Shape::Cells || !target.range().isSingleCell()) {
    throw ArgumentError(call.args.methodName() + " works on one cell, not " +
                        toUtf8(formatRangeRef(target.range(), false)));
  }
  return {target.range().firstRow, target.range().firstColumn};
}

// SetNote(text, author): adds the cell's note or replaces it; SetNote(null) removes it.
JSValueRef setNote(const Call& call) {
  call.args.expectCount(1, 2);
  RangeTarget target = thisRange(call);
  const auto cell = singleCell(call, target);
  auto& notes = target.sheet.objects().notes;
  if (call.args.isNullish(0)) {
    notes.erase(cell);
    return done(call);
  }
  refuseObjectsOnOpenedFile(call, target.sheet);
  CellNote note;
  note.text = call.args.string(0);
  if (!call.args.isNullish(1)) note.author = call.args.string(1);
  if (note.text.size() > kMaxNoteLength || note.author.size() > 255) {
    throw std::out_of_range(call.args.methodName() +
                            ": a note holds at most 32767 characters and its author at most 255");
  }
  notes[cell] = std::move(note);
  return done(call);
}

// {text, author} of the cell's note, or null.
JSValueRef getNote(const Call& call) {
  call.args.expectCount(0, 0);
  RangeTarget target = thisRange(call);
  const auto& notes = target.sheet.objects().notes;
  const auto found = notes.find(singleCell(call, target));
  if (found == notes.end()) return JSValueMakeNull(call.context);
  JSObjectRef result = JSObjectMake(call.context, nullptr, nullptr);
  setProperty(call.context, result, "text", makeString(call.context, found->second.text));
  setProperty(call.context, result, "author", makeString(call.context, found->second.author));
  return result;
}

// Every note inside the range goes.
JSValueRef clearNotes(const Call& call) {
  call.args.expectCount(0, 0);
  RangeTarget target = thisRange(call);
  auto& notes = target.sheet.objects().notes;
  std::erase_if(notes, [&](const auto& entry) {
    return target.range().contains(entry.first.first, entry.first.second);
  });
  return done(call);
}

}  // namespace

void addRangeNoteMethods(std::vector<JSStaticFunction>& table) {
  table.push_back(rangeMethod<setNote>("SetNote"));
  table.push_back(rangeMethod<getNote>("GetNote"));
  table.push_back(rangeMethod<clearNotes>("ClearNotes"));
}

}  // namespace sx
