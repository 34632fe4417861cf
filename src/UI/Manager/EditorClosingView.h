// An item view that runs a commit only once Qt is done with the editor that made it.
// A commit that reloads the model while the editor is still closing leaves Qt closing an
// editor the view no longer knows (and saying so on every commit).
#pragma once

#include <QAbstractItemView>
#include <functional>
#include <utility>

namespace kestr {

template <class View>
class EditorClosingView : public View {
public:
    using View::View;

    // Runs `commit` after the open editor has closed, or at once when none is open.
    void afterEditorCloses(std::function<void()> commit) {
        if (this->state() != QAbstractItemView::EditingState) {
            commit();
            return;
        }
        pending_ = std::move(commit);
    }

protected:
    void closeEditor(QWidget* editor, QAbstractItemDelegate::EndEditHint hint) override {
        View::closeEditor(editor, hint);
        if (std::function<void()> commit = std::exchange(pending_, nullptr)) commit();
    }

private:
    std::function<void()> pending_;
};

}  // namespace kestr
