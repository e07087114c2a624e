// The undo history of the text engine: each step records what an edit removed
// and inserted at one position, as slices of the text's storage (so that taking
// back the deletion of a large text copies nothing), and where the selection
// stood before it.
// Keys typed one after another, and runs of Backspace or Delete, fold into one
// step, as in other text editors; any caret move ends such a run.
#pragma once

#include "framework/engine/textslices.h"

#include <vector>

enum class EditKind { Other, Typing, Backspace, DeleteForward };

struct EditStep {
    qsizetype pos = 0;
    TextSlices removed;
    TextSlices inserted;
    qsizetype anchorBefore = 0;
    qsizetype caretBefore = 0;
    EditKind kind = EditKind::Other;
};

class UndoHistory {
public:
    // Adds a step, or extends the last one when it continues it; drops the redo steps.
    void record(EditStep step);
    // The next step recorded starts a new one.
    void breakRun() { m_runOpen = false; }
    void clear();

    bool canUndo() const { return m_done > 0; }
    bool canRedo() const { return m_done < m_steps.size(); }
    // The step to take back (or do again); the history moves past it.
    const EditStep& undo();
    const EditStep& redo();
    // Bytes of storage the steps hold that seen has not counted yet.
    qsizetype newStorageBytes(std::unordered_set<const void*>& seen) const;

private:
    bool extends(const EditStep& last, const EditStep& step) const;

    std::vector<EditStep> m_steps;
    size_t m_done = 0;
    bool m_runOpen = false;
};
