// Copied text on the clipboard as slices of the text's storage: the string another
// program asks for is made only when it asks, with the desktop's LF line breaks,
// and a paste back into a text engine takes the slices as they are.
#pragma once

#include "framework/engine/textslices.h"

#include <QMimeData>

class SlicesMimeData final : public QMimeData {
public:
    explicit SlicesMimeData(TextSlices slices) : m_slices(std::move(slices)) {}

    const TextSlices& slices() const { return m_slices; }
    QStringList formats() const override;
    bool hasFormat(const QString& mimeType) const override;

protected:
    QVariant retrieveData(const QString& mimeType, QMetaType type) const override;

private:
    TextSlices m_slices;
};

// The slices as one string, each CR made LF.
QString withLineFeeds(const TextSlices& slices);
