#include "TerrainLibrary.h"

#include <algorithm>

namespace verdan {

namespace {

using THandlerFn = void(float*, float*, float*, float*, float*, char*, int32_t, float*, int32_t*,
                        float*, float*, int32_t*, int32_t*, int32_t*, int32_t*);
using CloseGlobeFn = void();
using ErrMsgFn = void(char*, int32_t, int32_t*);

constexpr int32_t GlobeMessageWidth = 23;
constexpr int32_t QuarnMessageWidth = 52;

QString trimmedText(const std::vector<char>& text) {
    return QString::fromLatin1(text.data(), static_cast<qsizetype>(text.size())).trimmed();
}

} // namespace

bool THandlerArgs::setDataPath(const QString& text) {
    const QByteArray bytes = text.toLocal8Bit();
    if (bytes.size() > TerrainDataPathWidth)
        return false;
    dataPath.fill(' ');
    std::copy(bytes.begin(), bytes.end(), dataPath.begin());
    return true;
}

TerrainLibrary::TerrainLibrary(Prompter& prompter, QString folder)
    : m_library(QStringLiteral("libdorvex.so"), QStringLiteral("terrain library"), prompter,
                std::move(folder)) {}

bool TerrainLibrary::THandler(THandlerArgs& args) {
    auto* fn = m_library.resolve<THandlerFn>("THandler");
    if (!fn)
        return false;
    const std::size_t needed = static_cast<std::size_t>(std::max(args.pointCount, 0)) + 2;
    if (args.distancesM.size() < needed)
        args.distancesM.resize(needed, 0.0f);
    if (args.elevationsM.size() < needed)
        args.elevationsM.resize(needed, 0.0f);
    fn(&args.lat1Rad, &args.lon1Rad, &args.lat2Rad, &args.lon2Rad, &args.pathLength,
       args.dataPath.data(), TerrainDataPathWidth, &args.fillM, &args.pointCount,
       args.distancesM.data(), args.elevationsM.data(), &args.pointsReturned, &args.status,
       &args.errorNumber, &args.source);
    return true;
}

bool TerrainLibrary::CloseGlobe() {
    auto* fn = m_library.resolve<CloseGlobeFn>("CloseGlobe");
    if (!fn)
        return false;
    fn();
    return true;
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
