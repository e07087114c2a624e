// Undo steps and how runs of typing and deleting fold together.
#include "framework/engine/undohistory.h"

bool UndoHistory::extends(const EditStep& last, const EditStep& step) const
{
    if (!m_runOpen || last.kind != step.kind)
        return false;
    switch (step.kind) {
    case EditKind::Typing:
        return step.removed.isEmpty() && last.pos + last.inserted.size() == step.pos;
    case EditKind::Backspace:
        return last.inserted.isEmpty() && step.inserted.isEmpty() && step.pos + step.removed.size() == last.pos;
    case EditKind::DeleteForward:
        return last.inserted.isEmpty() && step.inserted.isEmpty() && step.pos == last.pos;
    case EditKind::Other:
        break;
    }
    return false;
}

void UndoHistory::record(EditStep step)
{
    m_steps.resize(m_done);
    if (!m_steps.empty() && extends(m_steps.back(), step)) {
        EditStep& last = m_steps.back();
        switch (step.kind) {
        case EditKind::Typing:
            last.inserted.append(step.inserted);
            break;
        case EditKind::Backspace:
            last.removed.prepend(step.removed);
            last.pos = step.pos;
            break;
        default:
            last.removed.append(step.removed);
            break;
        }
    } else {
        m_steps.push_back(std::move(step));
    }
    m_done = m_steps.size();
    m_runOpen = m_steps.back().kind != EditKind::Other;
}

void UndoHistory::clear()
{
    m_steps.clear();
    m_done = 0;
    m_runOpen = false;
}

const EditStep& UndoHistory::undo()
{
    m_runOpen = false;
    return m_steps[--m_done];
}

const EditStep& UndoHistory::redo()
{
    m_runOpen = false;
    return m_steps[m_done++];
}

qsizetype UndoHistory::newStorageBytes(std::unordered_set<const void*>& seen) const
{
    qsizetype bytes = 0;
    for (const EditStep& s : m_steps)
        bytes += s.removed.newStorageBytes(seen) + s.inserted.newStorageBytes(seen);
    return bytes;
}
