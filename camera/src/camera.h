// The library's one process-wide camera: the source list last handed out,
// the chosen source, and the running source with its preview.
#pragma once

#include "frame_source.h"
#include "preview.h"
#include "source_catalog.h"

#include <memory>
#include <set>
#include <string>
#include <vector>

namespace vistrel {

class Camera {
public:
    static Camera& Instance();

    const char* SourceList();
    void Choose(int index);
    void Start(void* window);
    void SaveFrame(const char* path);
    void Close(int index);

    // Stops the running source; also run when the Qt application object is
    // destroyed, since Qt Multimedia objects must not outlive it.
    void Stop();

private:
    Camera() = default;
    void ListIfNeeded();
    std::unique_ptr<FrameSource> Open(const SourceInfo& source) const;

    std::vector<SourceInfo> sources_;
    bool listed_ = false;
    // Every list text handed out, kept so earlier pointers stay valid.
    std::set<std::string> list_texts_;
    int chosen_ = -1;
    int running_ = -1;
    std::unique_ptr<FrameSource> source_;
    std::unique_ptr<Preview> preview_;
};

}  // namespace vistrel
