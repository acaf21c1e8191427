#include <verdan/terrain/GdalSupport.h>

#include <cpl_error.h>
#include <gdal_priv.h>

#include <cerrno>
#include <cstring>
#include <mutex>
#include <string_view>
#include <sys/stat.h>

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

Status checkPlainFile(const std::string& path) {
    struct stat info {};
    if (::stat(path.c_str(), &info) != 0)
        return Status::failure(path + ": " + std::strerror(errno));
    if (!S_ISREG(info.st_mode))
        return Status::failure(path + ": not a regular file (a folder, pipe or device)");
    return Status::success();
}

Status checkDatasetFiles(GDALDataset* dataset, const std::string& path) {
    char** files = dataset->GetFileList();
    Status status;
    for (char** file = files; file != nullptr && *file != nullptr && status.ok; ++file) {
        // GDAL's own virtual files (in memory, in archives) are no files of the system.
        if (std::string_view(*file).starts_with("/vsi"))
            continue;
        if (Status plain = checkPlainFile(*file); !plain.ok)
            status = Status::failure(path + ": reads " + plain.message);
    }
    CSLDestroy(files);
    return status;
}

void GdalDatasetCloser::operator()(GDALDataset* dataset) const {
    GDALClose(GDALDataset::ToHandle(dataset));
}

} // namespace verdan::terrain
