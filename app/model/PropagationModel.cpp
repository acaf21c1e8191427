#include "PropagationModel.h"

#include <algorithm>
#include <vector>

namespace verdan {

namespace {

// Hands the record a NUL-terminated 8-bit copy of the message text for one call and copies
// it back afterwards, blank-padded to its width.
class MessageCopy {
public:
    explicit MessageCopy(ModelRecords& records) : m_records(records) {
        m_buffer.assign(ModelMessageWidth + 1, '\0');
        std::copy_n(records.msgText.begin(),
                    std::min<std::size_t>(records.msgText.size(), ModelMessageWidth),
                    m_buffer.begin());
        records.prop.msgText = m_buffer.data();
    }
    ~MessageCopy() {
        m_buffer.back() = '\0';
        std::string text(m_buffer.data());
        text.resize(ModelMessageWidth, ' ');
        m_records.msgText = text;
        m_records.prop.msgText = nullptr;
    }
    MessageCopy(const MessageCopy&) = delete;
    MessageCopy& operator=(const MessageCopy&) = delete;

private:
    ModelRecords& m_records;
    std::vector<char> m_buffer;
};

using QlrpsFn = void(double, double, double, int32_t, double, double, PropRecord*);
using QlraFn = void(int32_t*, int32_t, int32_t, PropRecord*, PropvRecord*);
using LrpropFn = void(double, PropRecord*, PropaRecord*);
using AvarFn = double(double, double, double, PropRecord*, PropvRecord*);
using QerfiFn = double(double);
using QlrpflFn = void(double*, int32_t, int32_t, PropRecord*, PropaRecord*, PropvRecord*);

} // namespace

PropagationModel::PropagationModel(Prompter& prompter, QString folder)
    : m_library(QStringLiteral("libpmverdan.so"), QStringLiteral("propagation model library"),
                prompter, std::move(folder)) {}

bool PropagationModel::qlrps(ModelRecords& records, double fmhz, double zsys, double en0, int ipol,
                             double eps, double sgm) {
    auto* fn = m_library.resolve<QlrpsFn>("qlrps");
    if (!fn)
        return false;
    MessageCopy message(records);
    fn(fmhz, zsys, en0, ipol, eps, sgm, &records.prop);
    return true;
}

bool PropagationModel::qlra(ModelRecords& records, const int kst[2], int klimx, int mdvarx) {
    auto* fn = m_library.resolve<QlraFn>("qlra");
    if (!fn)
        return false;
    int32_t sites[2] = {kst[0], kst[1]};
    MessageCopy message(records);
    fn(sites, klimx, mdvarx, &records.prop, &records.propv);
    return true;
}

bool PropagationModel::lrprop(ModelRecords& records, double distM) {
    auto* fn = m_library.resolve<LrpropFn>("lrprop");
    if (!fn)
        return false;
    MessageCopy message(records);
    fn(distM, &records.prop, &records.propa);
    return true;
}

std::optional<double> PropagationModel::avar(ModelRecords& records, double zzt, double zzl,
                                             double zzc) {
    auto* fn = m_library.resolve<AvarFn>("avar");
    if (!fn)
        return std::nullopt;
    MessageCopy message(records);
    return fn(zzt, zzl, zzc, &records.prop, &records.propv);
}

std::optional<double> PropagationModel::qerfi(double q) {
    auto* fn = m_library.resolve<QerfiFn>("qerfi");
    if (!fn)
        return std::nullopt;
    return fn(q);
}

bool PropagationModel::qlrpfl(ModelRecords& records, double* pfl, int klimx, int mdvarx) {
    auto* fn = m_library.resolve<QlrpflFn>("qlrpfl");
    if (!fn)
        return false;
    MessageCopy message(records);
    fn(pfl, klimx, mdvarx, &records.prop, &records.propa, &records.propv);
    return true;
}

QStringList modelWarningLines(int kwx) {
    switch (kwx) {
    case 0:
        return {};
    case 1:
        return {QStringLiteral("   !Warning! Some parameters are nearly out of range ..."),
                QStringLiteral("     Results should be used with caution.")};
    case 2:
        return {QStringLiteral("   !Note- Default perameters have been substituted"),
                QStringLiteral("      for impossible ones.")};
    case 3:
        return {QStringLiteral("   !Warning! A combination of parameters is out of range."),
                QStringLiteral("      Results are probably invalid.")};
    default:
        return {QStringLiteral("   !Warning! Some parameters are out of range ..."),
                QStringLiteral("      Results are probably invalid.")};
    }
}

} // namespace verdan
