#include "ZeltCommonInfo.h"

#include <QPointer>
#include <QWidget>

namespace {

struct CommonInfo {
    QString userName;
    QPointer<QWidget> editForm;
    QPointer<QWidget> mainForm;
};

CommonInfo& info() {
    static CommonInfo i;
    return i;
}

} // namespace

namespace ZeltCommonInfo {

const QString& UserName() {
    return info().userName;
}

void SetUserName(const QString& name) {
    info().userName = name;
}

QWidget* CurrentEditForm() {
    return info().editForm.data();
}

void SetCurrentEditForm(QWidget* form) {
    info().editForm = form;
}

void ForgetEditForm(QWidget* form) {
    if (info().editForm == form)
        info().editForm = nullptr;
}

QWidget* MainForm() {
    return info().mainForm.data();
}

void SetMainForm(QWidget* form) {
    info().mainForm = form;
}

void Reset() {
    info().editForm = nullptr;
}

} // namespace ZeltCommonInfo
