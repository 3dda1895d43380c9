#include "platform/message_box.h"

#include "platform/modal.h"

#include <QMessageBox>

namespace zorvik::platform {

namespace {
std::vector<ShownMessage> *recorder = nullptr;
}

void showMessage(QWidget *parent, const QString &title, const QString &text, MessageIcon icon)
{
    if (recorder) {
        recorder->push_back({title, text, icon});
        return;
    }
    QMessageBox box(icon == MessageIcon::Critical ? QMessageBox::Critical
                                                  : QMessageBox::Information,
                    title, text, QMessageBox::Ok, parent);
    showModal(&box, parent);
}

void recordMessagesInto(std::vector<ShownMessage> *record)
{
    recorder = record;
}

} // namespace zorvik::platform
