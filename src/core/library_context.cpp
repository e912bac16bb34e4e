#include "core/library_context.h"

#include "base/component_directory.h"
#include "core/store/compressor.h"

namespace {

TkvLibraryContext& ProcessContext() {
    static TkvLibraryContext context;
    return context;
}

TkvLibraryContext* active = nullptr;

} // namespace

TkvLibraryContext::TkvLibraryContext() = default;
TkvLibraryContext::~TkvLibraryContext() = default;

TkvLibraryContext& kv::Library() {
    return active ? *active : ProcessContext();
}

TkvLibraryScope::TkvLibraryScope(TkvLibraryContext& context) : previous_(active) {
    active = &context;
}

TkvLibraryScope::~TkvLibraryScope() {
    active = previous_;
}

TkvCurrentObjectsScope::TkvCurrentObjectsScope(TkvCurrentObjects start)
    : context_(kv::Library()), saved_(std::exchange(context_.Current, std::move(start))) {}

TkvCurrentObjectsScope::~TkvCurrentObjectsScope() {
    context_.Current = std::move(saved_);
}
