#include "state.h"

#include <memory>

namespace dorvex {

namespace {
std::unique_ptr<LibraryState>& holder() {
    static std::unique_ptr<LibraryState> instance = std::make_unique<LibraryState>();
    return instance;
}
} // namespace

LibraryState& state() {
    return *holder();
}

void resetLibraryState() {
    holder() = std::make_unique<LibraryState>();
}

} // namespace dorvex
