#pragma once

#include <gtest/gtest.h>

#include <stdexcept>
#include <string>

namespace zq::testing_support {

// Runs `call` and returns the message of the exception it throws (of type Error), or a
// marker text when it throws nothing, so that tables can compare messages directly.
template <typename Error = std::exception, typename Call>
std::string failureOf(Call call) {
  try {
    call();
  } catch (const Error& error) {
    return error.what();
  }
  return "<no failure>";
}

}  // namespace zq::testing_support
