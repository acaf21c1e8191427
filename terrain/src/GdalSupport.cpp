#include <verdan/terrain/GdalSupport.h>

#include <cpl_conv.h>
#include <cpl_error.h>
#include <cpl_minixml.h>
#include <gdal_priv.h>

#include <cerrno>
#include <cstdio>
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

namespace {

constexpr int DeepestVrtNesting = 16;

bool looksLikeVrt(const std::string& path) {
    char head[512] = {};
    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (file == nullptr)
        return false;
    const std::size_t length = std::fread(head, 1, sizeof head - 1, file);
    std::fclose(file);
    return std::string_view(head, length).find("<VRTDataset") != std::string_view::npos;
}

Status checkVrtSources(const std::string& vrtPath, int depth);

// Checks the files named by the SourceFilename elements under `node`.
Status checkSourcesUnder(const CPLXMLNode* node, const std::string& vrtPath, int depth) {
    for (; node != nullptr; node = node->psNext) {
        if (node->eType != CXT_Element)
            continue;
        if (std::string_view(node->pszValue) == "SourceFilename") {
            const std::string name = CPLGetXMLValue(node, "", "");
            const bool relative = std::string_view(CPLGetXMLValue(node, "relativeToVRT", "0")) == "1";
            const std::string folder = CPLGetPath(vrtPath.c_str());
            const std::string file =
                relative && !folder.empty() ? folder + "/" + name : name;
            if (name.empty() || name.starts_with("/vsi") || name.starts_with("<"))
                continue;
            if (Status s = checkVrtSources(file, depth + 1); !s.ok)
                return Status::failure(vrtPath + " reads " + s.message);
        }
        if (Status s = checkSourcesUnder(node->psChild, vrtPath, depth); !s.ok)
            return s;
    }
    return Status::success();
}

Status checkVrtSources(const std::string& path, int depth) {
    if (Status plain = checkPlainFile(path); !plain.ok)
        return plain;
    if (depth > DeepestVrtNesting || !looksLikeVrt(path))
        return Status::success(); // GDAL refuses deeper nesting itself
    CPLXMLNode* root = CPLParseXMLFile(path.c_str());
    const Status status = checkSourcesUnder(root, path, depth);
    CPLDestroyXMLNode(root);
    return status;
}

} // namespace

Status checkRasterFiles(const std::string& path) {
    registerGdal();
    const GdalErrorCapture quiet;
    return checkVrtSources(path, 0);
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
