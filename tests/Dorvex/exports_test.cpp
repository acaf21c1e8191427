#include "dorvex.h"

#include "exports.h"
#include "state.h"
#include "test_support.h"

#include <dlfcn.h>
#include <gtest/gtest.h>

namespace dorvex {
namespace {

TEST(SharedLibrary, ExportsOnlyTheFourRoutines) {
    void* library = dlopen(DORVEX_SHARED_LIBRARY, RTLD_NOW | RTLD_LOCAL);
    ASSERT_NE(library, nullptr) << dlerror();
    for (const char* name : {"THandler", "CloseGlobe", "GlobeErrMsg", "QuarnErrMsg"}) {
        EXPECT_NE(dlsym(library, name), nullptr) << name;
    }
    for (const char* name : {"_ZN6dorvex15GLOBE_ELEVATIONEffiPKc", "_ZN6dorvex5stateEv",
                             "_ZN6dorvex6NGSINVEffffffRfS0_S0_"}) {
        EXPECT_EQ(dlsym(library, name), nullptr) << name;
    }
    using ErrMsg = void (*)(char*, int32_t, int32_t*);
    auto message = reinterpret_cast<ErrMsg>(dlsym(library, "QuarnErrMsg"));
    ASSERT_NE(message, nullptr);
    char text[52];
    int32_t number = 11;
    message(text, 52, &number);
    EXPECT_EQ(std::string(text, 52), test::padded("Missing Topographic Elevation Data", 52));
    dlclose(library);
}

} // namespace
} // namespace dorvex
