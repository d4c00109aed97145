// A multi-line edit box that refuses typed or pasted text beyond a length
// limit. Line breaks count as two characters (CR LF), as the text is handed
// on with them. Text set by the program is not limited.
#pragma once

#include <QPlainTextEdit>

namespace apps {

class LimitedTextEdit : public QPlainTextEdit {
public:
    LimitedTextEdit(QWidget* parent, int limit);

    int limit() const { return limit_; }
    // Length as counted against the limit.
    static int CountedLength(const QString& text);

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void insertFromMimeData(const QMimeData* source) override;
    void inputMethodEvent(QInputMethodEvent* event) override;

private:
    // How many characters an insertion replacing the selection may add.
    int Room() const;
    // The longest prefix of `text` that fits.
    QString Fitting(const QString& text) const;

    int limit_;
};

}  // namespace apps
