#include "formula/formula_ast.h"

namespace sx::formula {

Node::~Node() {
  std::vector<std::unique_ptr<Node>> pending;
  for (auto& child : children) {
    if (child) pending.push_back(std::move(child));
  }
  while (!pending.empty()) {
    std::unique_ptr<Node> node = std::move(pending.back());
    pending.pop_back();
    for (auto& child : node->children) {
      if (child) pending.push_back(std::move(child));
    }
  }
}

}  // namespace sx::formula
