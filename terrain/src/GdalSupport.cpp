#include <verdan/terrain/GdalSupport.h>

#include <cpl_error.h>
#include <gdal_priv.h>

#include <mutex>

namespace verdan::terrain {

namespace {

// Messages nobody collects are dropped: GDAL's default handler would print them.
void CPL_STDCALL dropMessage(CPLErr, CPLErrorNum, const char*) {}

} // namespace

void registerGdal() {
    static std::once_flag once;
    std::call_once(once, [] {
        CPLSetErrorHandler(dropMessage);
        GDALAllRegister();
    });
}

GdalErrorCapture::GdalErrorCapture() {
    registerGdal();
    CPLPushErrorHandlerEx(
        [](CPLErr errorClass, CPLErrorNum number, const char* message) {
            handler(static_cast<int>(errorClass), number, message);
        },
        this);
}

GdalErrorCapture::~GdalErrorCapture() {
    CPLPopErrorHandler();
}

void GdalErrorCapture::handler(int errorClass, int, const char* message) {
    auto* self = static_cast<GdalErrorCapture*>(CPLGetErrorHandlerUserData());
    if (self == nullptr || errorClass < CE_Failure || !self->m_first.empty() || message == nullptr)
        return;
    std::string text(message);
    for (char& c : text)
        if (c == '\n' || c == '\r')
            c = ' ';
    while (!text.empty() && (text.back() == ' ' || text.back() == '.'))
        text.pop_back();
    self->m_first = text.empty() ? "unknown error" : text;
}

std::string GdalErrorCapture::describe(const std::string& what) const {
    return m_first.empty() ? what : what + ": " + m_first;
}

void GdalDatasetCloser::operator()(GDALDataset* dataset) const {
    GDALClose(GDALDataset::ToHandle(dataset));
}

} // namespace verdan::terrain
