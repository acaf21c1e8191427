#pragma once

#include "pmverdan.h"

#include <string>

namespace verdan {

/// Width of the model's message text.
inline constexpr int ModelMessageWidth = 200;

/// The program-wide records exchanged with the propagation model, one instance each, plus the
/// message text that the parameter record points to during a call.
struct ModelRecords {
    PropRecord prop{};
    PropvRecord propv{};
    PropaRecord propa{};
    /// The model's message text: 200 characters, blanks between runs.
    std::string msgText = std::string(ModelMessageWidth, ' ');

    /// Blanks the message text.
    void clearMessage() { msgText.assign(ModelMessageWidth, ' '); }
};

} // namespace verdan
