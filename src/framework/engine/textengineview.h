// A text view for very large texts: a scroll area over a TextDocument that lays
// out and paints only the visible lines, on a fixed-pitch grid (one cell per
// character, two for East Asian wide ones), and edits in place. Lines end with
// CR; offsets count characters from 0. Hooks let an owner see every key press
// and mouse press before the view acts on it. The view takes no drops and starts
// no drag: a press and move select; what a drop does is for its owner to say.
#pragma once

#include "framework/engine/textdocument.h"

#include <QAbstractScrollArea>
#include <QBasicTimer>
#include <QRawFont>
#include <functional>
#include <optional>

class TextEngineView : public QAbstractScrollArea {
    Q_OBJECT

public:
    // Return true to swallow the event: the view then does nothing with it. The
    // mouse hook sees every press, the second press of a double click included.
    using KeyHook = std::function<bool(QKeyEvent*)>;
    using MouseHook = std::function<bool(QMouseEvent*)>;

    // chunkSize: characters per storage chunk (small values are for tests).
    explicit TextEngineView(QWidget* parent = nullptr, int chunkSize = TextBuffer::DefaultChunkSize);
    ~TextEngineView() override;

    const TextDocument& document() const { return m_doc; }

    // The whole text with CR line breaks; setting it empties the undo history.
    QString text() const { return m_doc.text(); }
    void setText(const QString& text);
    // Latin-1 bytes, kept one byte per character without a copy when they hold no LF.
    void setTextLatin1(const QByteArray& text);
    // A computed text, held as it is and never built whole.
    void setTextRows(std::shared_ptr<const textfn::RowText> text);
    qsizetype length() const { return m_doc.length(); }
    qsizetype lineCount() const { return m_doc.buffer().lineCount(); }

    qsizetype selectionStart() const { return m_doc.selectionStart(); }
    qsizetype selectionLength() const { return m_doc.selectionLength(); }
    qsizetype cursorPosition() const { return m_doc.caret(); }
    QString selectedText() const { return m_doc.selectedText(); }
    // Clamped to the text; scrolls the selection into view.
    void setSelection(qsizetype start, qsizetype length);
    // Undoable; the caret ends right after the new text.
    void replaceSelection(const QString& text);

    bool isReadOnly() const { return m_readOnly; }
    void setReadOnly(bool readOnly);
    // Off: nothing is painted behind the text, so what lies behind the view shows.
    bool drawsBackground() const { return m_drawsBackground; }
    void setDrawsBackground(bool draws);
    // Off: no input-method composition; keys arrive as plain characters.
    bool isInputMethodEnabled() const { return m_inputMethodEnabled; }
    void setInputMethodEnabled(bool enabled);

    // On: Tab moves the focus on instead of reaching the text (it always does when read-only).
    bool tabChangesFocus() const { return m_tabChangesFocus; }
    void setTabChangesFocus(bool changes) { m_tabChangesFocus = changes; }

    // Blank pixels between the view's edge and the text, on every side.
    int textMargin() const { return m_margin; }
    void setTextMargin(int pixels);

    // Scrolls so that [pos, pos + length] is in view, its start first when it does not fit.
    void ensureVisible(qsizetype pos, qsizetype length = 0);
    qsizetype firstVisibleLine() const;
    qsizetype firstVisibleCell() const;
    int visibleLineCount() const;
    int visibleCellCount() const;
    qreal cellWidth() const { return m_cellWidth; }
    int lineHeight() const { return m_lineHeight; }
    // Viewport point of the caret's top when it stands at pos (held within 2^24
    // pixels of the view, far beyond it), and the offset under a point.
    QPoint pointForPosition(qsizetype pos) const;
    qsizetype positionAt(const QPoint& viewportPoint) const;

    void setKeyHook(KeyHook hook) { m_keyHook = std::move(hook); }
    void setMousePressHook(MouseHook hook) { m_mouseHook = std::move(hook); }

    QVariant inputMethodQuery(Qt::InputMethodQuery query) const override;

public slots:
    void undo();
    void redo();
    void cut();
    void copy();
    void paste();
    void selectAll();
    void deleteSelection();

signals:
    void textChanged();
    void selectionChanged();
    void cursorPositionChanged();
    void undoAvailable(bool available);
    void redoAvailable(bool available);
    void copyAvailable(bool available);

protected:
    bool event(QEvent* e) override;
    void paintEvent(QPaintEvent* e) override;
    void resizeEvent(QResizeEvent* e) override;
    void showEvent(QShowEvent* e) override;
    void changeEvent(QEvent* e) override;
    void scrollContentsBy(int dx, int dy) override;
    bool focusNextPrevChild(bool next) override;
    void keyPressEvent(QKeyEvent* e) override;
    void inputMethodEvent(QInputMethodEvent* e) override;
    void mousePressEvent(QMouseEvent* e) override;
    void mouseDoubleClickEvent(QMouseEvent* e) override;
    void mouseMoveEvent(QMouseEvent* e) override;
    void mouseReleaseEvent(QMouseEvent* e) override;
    void focusInEvent(QFocusEvent* e) override;
    void focusOutEvent(QFocusEvent* e) override;
    void timerEvent(QTimerEvent* e) override;

private:
    struct State {
        quint64 revision;
        qsizetype anchor, caret;
        bool canUndo, canRedo;
    };
    enum class Reveal { Nothing, Caret };

    State state() const;
    void finishChange(const State& before, Reveal reveal);
    void userEdit(const std::function<void()>& edit);
    // Puts new text in place by load, then shows it from the top without a preedit.
    void replaceText(const std::function<void()>& load);
    bool handleStandardKey(QKeyEvent* e);
    bool handleNavigationKey(QKeyEvent* e);
    bool handleReadOnlyScrollKey(QKeyEvent* e);
    bool handleEditingKey(QKeyEvent* e);
    void moveCaretTo(qsizetype pos, bool keepAnchor, bool keepPreferredCell = false);
    qsizetype lineMoved(qsizetype lines) const;
    void dragSelectTo(const QPoint& viewportPoint);
    void restartBlink();
    void updateCaretRect();
    QRect caretRect() const;
    bool caretInView() const;
    void updateMetrics();
    void updateScrollBars();
    void updateInputMethodAttribute();
    void paintLine(QPainter& p, qsizetype line, int y, const QRect& clip);
    void drawLatin1Run(QPainter& p, qsizetype from, qsizetype to, qreal x, qreal baseline);
    void drawWideRun(QPainter& p, qsizetype from, qsizetype to, qreal x, qreal baseline);
    qreal xForCell(qsizetype cell) const;

    TextDocument m_doc;
    bool m_readOnly = false;
    bool m_drawsBackground = true;
    bool m_inputMethodEnabled = true;
    bool m_tabChangesFocus = false;
    KeyHook m_keyHook;
    MouseHook m_mouseHook;

    // Metrics of the grid, from the widget's font.
    int m_margin = 4;
    qreal m_cellWidth = 8;
    int m_lineHeight = 16;
    qreal m_ascent = 12;
    QRawFont m_rawFont;
    quint32 m_latin1Glyphs[256] = {};

    qsizetype m_preferredCell = -1;  // the column that Up and Down keep to
    bool m_caretOn = true;
    bool m_dragging = false;
    QPoint m_lastDragPoint;
    QBasicTimer m_blinkTimer;
    QBasicTimer m_autoScrollTimer;
    QString m_preedit;
    std::optional<std::pair<qsizetype, qsizetype>> m_pendingReveal;
};
