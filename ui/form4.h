#pragma once

#include <QDialog>

namespace zorvik::ui {

// "Valitse kuvatiedosto": browses drives, folders and the JPEG and GIF files of a folder.
class Form4 : public QDialog {
    Q_OBJECT

public:
    explicit Form4(QWidget *parent = nullptr);
};

// The picture chooser of the process, created on first use.
Form4 &form4();

} // namespace zorvik::ui
