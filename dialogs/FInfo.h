#pragma once

#include <QDialog>

class QLabel;
class QPushButton;

// The information dialog: the program's logo, icon, name and version.
// Created once at start, shown modally by F3 or the info button.
class TFormInfo : public QDialog {
    Q_OBJECT
public:
    explicit TFormInfo(QWidget* parent = nullptr);

protected:
    void showEvent(QShowEvent* event) override;

private:
    QLabel* m_image1 = nullptr;
    QLabel* m_imageIcon = nullptr;
    QLabel* m_label1 = nullptr;
    QLabel* m_labelVer = nullptr;
    QPushButton* m_ok = nullptr;
};
