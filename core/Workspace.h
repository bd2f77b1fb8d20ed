#pragma once

#include "core/FileDataStore.h"
#include "core/FileListView.h"
#include "core/ReorderHistory.h"
#include "core/clsZEPFiles.h"
#include "support/MessageSink.h"
#include "support/Options.h"

namespace zep {

// The window and the batch tool each build one; every test builds its own.
struct Workspace {
    Workspace(FileListView& listView, MessageSink& messageSink)
        : view(listView), messages(messageSink) {}

    Options options;
    clsZEPFiles ZEPFiles;
    FileDataStore store;
    FileListView& view;
    MessageSink& messages;
    ReorderHistory history;  // of the window's Sort By ASCII and Compare
};

}  // namespace zep
