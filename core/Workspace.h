#pragma once

#include "core/FileDataStore.h"
#include "core/FileListView.h"
#include "core/ReorderHistory.h"
#include "core/clsZEPFiles.h"
#include "support/MessageSink.h"
#include "support/Options.h"

namespace zep {

// Everything one list of loaded files consists of: the descriptors, the records with their
// counters, the options, and the window (or its stand-in) that shows rows and messages.
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
