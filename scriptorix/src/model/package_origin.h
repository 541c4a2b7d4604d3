#pragma once

namespace sx {

// Whatever a file reader keeps of an opened file that the model does not hold (parts it does
// not read, original XML), for the matching writer to carry through a save.
class PackageOrigin {
 public:
  virtual ~PackageOrigin() = default;
};

}  // namespace sx
