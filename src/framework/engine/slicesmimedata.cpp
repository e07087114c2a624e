// The clipboard's text made on request from the copied slices.
#include "framework/engine/slicesmimedata.h"

#include "framework/text/pages.h"

#include <type_traits>

namespace {

const QString kPlainText = QStringLiteral("text/plain");

}  // namespace

// Made in one pass over the pieces, however large the selection.
QString withLineFeeds(const TextSlices& slices)
{
    const qsizetype n = slices.size();
    QString text(n, Qt::Uninitialized);
    char16_t* out = reinterpret_cast<char16_t*>(text.data());
    textfn::TakePagesAtOnce(out, n * qsizetype(sizeof(char16_t)));
    slices.forEachPiece([&out](auto* p, qsizetype k) {
        for (qsizetype i = 0; i < k; ++i) {
            char16_t c;
            if constexpr (std::is_same_v<decltype(p), const char*>)
                c = static_cast<unsigned char>(p[i]);
            else
                c = p[i].unicode();
            *out++ = c == u'\r' ? u'\n' : c;
        }
    });
    return text;
}

QStringList SlicesMimeData::formats() const
{
    return {kPlainText};
}

bool SlicesMimeData::hasFormat(const QString& mimeType) const
{
    return mimeType == kPlainText;
}

QVariant SlicesMimeData::retrieveData(const QString& mimeType, QMetaType type) const
{
    if (mimeType != kPlainText)
        return QMimeData::retrieveData(mimeType, type);
    return withLineFeeds(m_slices);
}
