#pragma once

#include "LogDocument.h"

#include <QFont>
#include <memory>

class QTextDocument;

namespace verdan {

/// The fixed-pitch font reports are shown and printed in: the system's fixed font, or DejaVu
/// Sans Mono when the system's is not reported as fixed-pitch. Needs a QGuiApplication.
QFont reportFont();

/// Replaces the content of `target` with `document`: one block per paragraph, the text runs
/// with their bold, italic and underline attributes, and the pictures decoded from their PNG
/// bytes (registered as image resources of `target`) at their size in pixels. The default
/// font of `target` is set to reportFont() so report columns line up.
/// A picture whose bytes do not decode is shown as an empty frame of its size.
void renderToTextDocument(const LogDocument& document, QTextDocument& target);

/// A copy of `shown` (with its pictures) for printing: its lines wrap at the page's width,
/// at a blank where there is one, although the window shows them unwrapped.
std::unique_ptr<QTextDocument> documentForPrinting(const QTextDocument& shown);

} // namespace verdan
