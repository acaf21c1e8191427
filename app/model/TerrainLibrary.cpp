#include "TerrainLibrary.h"

#include <vector>

namespace verdan {

namespace {

using ErrMsgFn = void(char*, int32_t, int32_t*);

constexpr int32_t GlobeMessageWidth = 23;
constexpr int32_t QuarnMessageWidth = 52;

QString trimmedText(const std::vector<char>& text) {
    return QString::fromLatin1(text.data(), static_cast<qsizetype>(text.size())).trimmed();
}

} // namespace

TerrainLibrary::TerrainLibrary(Prompter& prompter, QString folder)
    : m_library(QStringLiteral("libdorvex.so"), QStringLiteral("terrain library"), prompter,
                std::move(folder)) {}

std::shared_ptr<terrain::DorvexLibrary> TerrainLibrary::dorvex() {
    if (m_dorvex)
        return m_dorvex;
    auto* tHandler = m_library.resolve<terrain::DorvexEntryPoints::THandlerFn>("THandler");
    auto* closeGlobe =
        tHandler ? m_library.resolve<terrain::DorvexEntryPoints::CloseGlobeFn>("CloseGlobe")
                 : nullptr;
    if (!closeGlobe)
        return nullptr;
    m_dorvex = std::make_shared<terrain::DorvexLibrary>();
    m_dorvex->entry = {tHandler, closeGlobe};
    return m_dorvex;
}

std::optional<QString> TerrainLibrary::GlobeErrMsg(int32_t number) {
    auto* fn = m_library.resolve<ErrMsgFn>("GlobeErrMsg");
    if (!fn)
        return std::nullopt;
    std::vector<char> text(GlobeMessageWidth, ' ');
    fn(text.data(), GlobeMessageWidth, &number);
    return trimmedText(text);
}

std::optional<QString> TerrainLibrary::QuarnErrMsg(int32_t& number) {
    auto* fn = m_library.resolve<ErrMsgFn>("QuarnErrMsg");
    if (!fn)
        return std::nullopt;
    std::vector<char> text(QuarnMessageWidth, ' ');
    fn(text.data(), QuarnMessageWidth, &number);
    return trimmedText(text);
}

} // namespace verdan
