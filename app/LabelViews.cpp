#include "app/LabelViews.h"

#include "app/frmLabels.h"
#include "core/RowMarker.h"

namespace zep {

// A second request for a file brings its view to the front instead of opening another.
void LabelViews::ShowLabelsOf(const std::string& key) {
    const std::int32_t position = PositionOf(key);
    if (position == 0 || ws_.store.Record(ws_.view.RowTag(position)) == nullptr) {
        return;
    }
    frmLabels* view = LabelViewOf(key);
    if (view == nullptr) {
        std::erase_if(views_, [](const QPointer<frmLabels>& open) { return open.isNull(); });
        view = new frmLabels(key, &owner_);
        views_.emplace_back(view);
    }
    ShowFileIn(*view, position);
    view->show();
    view->raise();
    view->activateWindow();
}

// Views closed by the user are on their way out and left alone.
void LabelViews::FollowLabelViews() {
    for (const QPointer<frmLabels>& view : views_) {
        if (view.isNull() || !view->isVisible()) {
            continue;
        }
        if (const std::int32_t position = PositionOf(view->Key()); position != 0) {
            ShowFileIn(*view, position);
        } else {
            view->close();
        }
    }
}

// The most recent first, as they would be closed one by one from the front.
void LabelViews::CloseAll() {
    for (auto it = views_.rbegin(); it != views_.rend(); ++it) {
        if (!it->isNull()) {
            (*it)->close();
        }
    }
    views_.clear();
}

frmLabels* LabelViews::LabelViewOf(const std::string& key) const {
    for (const QPointer<frmLabels>& view : views_) {
        if (!view.isNull() && view->isVisible() && view->Key() == key) {
            return view.data();
        }
    }
    return nullptr;
}

std::int32_t LabelViews::PositionOf(const std::string& key) const {
    for (std::int32_t position = 1; position <= ws_.view.RowCount(); ++position) {
        if (ws_.view.RowKey(position) == key) {
            return position;
        }
    }
    return 0;
}

void LabelViews::ShowFileIn(frmLabels& view, std::int32_t position) {
    const FileData* record = ws_.store.Record(ws_.view.RowTag(position));
    const clsZEPFileItem* item = ws_.ZEPFiles.Item().Find(view.Key());
    if (record == nullptr || item == nullptr) {
        view.close();
        return;
    }
    const std::string& title = item->Title();
    view.ShowFile(*record,
                  QString::fromLocal8Bit(title.data(), static_cast<qsizetype>(title.size())),
                  IsMarked(ws_.view.RowText(position)));
}

}  // namespace zep
