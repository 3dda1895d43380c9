#pragma once

#include <QString>

#include <vector>

class QWidget;

namespace zorvik::platform {

enum class MessageIcon { Critical, Information };

struct ShownMessage {
    QString title;
    QString text;
    MessageIcon icon;
};

// A modal message box with one OK button, over |parent|, shown as showModal() shows a dialog.
void showMessage(QWidget *parent, const QString &title, const QString &text, MessageIcon icon);

// Tests pass a list here to have messages recorded instead of shown; nullptr shows them again.
void recordMessagesInto(std::vector<ShownMessage> *record);

} // namespace zorvik::platform
