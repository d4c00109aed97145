#include "limited_text_edit.h"

#include <QApplication>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QMimeData>
#include <QTextCursor>

namespace apps {

LimitedTextEdit::LimitedTextEdit(QWidget* parent, int limit) : QPlainTextEdit(parent), limit_(limit) {}

int LimitedTextEdit::CountedLength(const QString& text) {
    return static_cast<int>(text.size() + text.count(QLatin1Char('\n')) + text.count(QChar::ParagraphSeparator));
}

int LimitedTextEdit::Room() const {
    const QString selected = textCursor().selectedText();
    return limit_ - CountedLength(toPlainText()) + CountedLength(selected);
}

QString LimitedTextEdit::Fitting(const QString& text) const {
    const int room = Room();
    QString fitting;
    for (const QChar c : text) {
        if (CountedLength(fitting + c) > room) break;
        fitting += c;
    }
    return fitting;
}

void LimitedTextEdit::keyPressEvent(QKeyEvent* event) {
    QString typed = event->text();
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) typed = QStringLiteral("\n");
    const bool inserts =
        !typed.isEmpty() && (typed.front().isPrint() || typed == QLatin1String("\n") || typed == QLatin1String("\t"));
    if (inserts && Fitting(typed).size() < typed.size()) {
        QApplication::beep();
        event->accept();
        return;
    }
    QPlainTextEdit::keyPressEvent(event);
}

void LimitedTextEdit::insertFromMimeData(const QMimeData* source) {
    if (source == nullptr || !source->hasText()) return;
    insertPlainText(Fitting(source->text()));
}

void LimitedTextEdit::inputMethodEvent(QInputMethodEvent* event) {
    const QString commit = event->commitString();
    const QString fitting = Fitting(commit);
    if (fitting.size() < commit.size()) {
        QInputMethodEvent trimmed(event->preeditString(), event->attributes());
        trimmed.setCommitString(fitting, event->replacementStart(), event->replacementLength());
        QPlainTextEdit::inputMethodEvent(&trimmed);
        return;
    }
    QPlainTextEdit::inputMethodEvent(event);
}

}  // namespace apps
