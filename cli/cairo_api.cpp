#include "cli/cairo_api.h"

#include <dlfcn.h>

#include <memory>
#include <mutex>
#include <stdexcept>
#include <string>

namespace dotforge::cli {

namespace {

constexpr const char *kCairoLibrary = "libcairo.so.2";

std::unique_ptr<CairoApi> load()
{
    void *library = ::dlopen(kCairoLibrary, RTLD_NOW | RTLD_LOCAL);
    if (!library) {
        const char *why = ::dlerror();
        throw std::runtime_error(std::string("cannot load ") + kCairoLibrary + " (Debian package libcairo2)"
            + (why ? std::string(": ") + why : std::string()));
    }
    auto api = std::make_unique<CairoApi>();
    // The library stays loaded for the rest of the run.
#define DOTFORGE_CAIRO_LOOKUP(name)                                                                                    \
    api->name = reinterpret_cast<decltype(api->name)>(::dlsym(library, "cairo_" #name));                               \
    if (!api->name)                                                                                                    \
        throw std::runtime_error(std::string(kCairoLibrary) + " has no cairo_" #name " (cairo too old)");
    DOTFORGE_CAIRO_FUNCTIONS(DOTFORGE_CAIRO_LOOKUP)
#undef DOTFORGE_CAIRO_LOOKUP
    return api;
}

} // namespace

const CairoApi &cairo()
{
    static std::once_flag once;
    static std::unique_ptr<CairoApi> api;
    static std::string failure;
    std::call_once(once, [] {
        try {
            api = load();
        } catch (const std::runtime_error &e) {
            failure = e.what();
        }
    });
    if (!api)
        throw std::runtime_error(failure);
    return *api;
}

} // namespace dotforge::cli
