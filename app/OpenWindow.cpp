#include "app/OpenWindow.h"

#include <QEventLoop>
#include <QFileInfo>
#include <QLabel>
#include <QTimer>
#include <QVBoxLayout>

OpenWindow::OpenWindow(const QString& path, QWidget* parent)
    : QDialog(parent, Qt::FramelessWindowHint | Qt::Dialog)
{
    setObjectName(QStringLiteral("OpenWindow"));
    auto* layout = new QVBoxLayout(this);
    m_title = new QLabel(QFileInfo(path).fileName(), this);
    m_message = new QLabel(this);
    m_message->setObjectName(QStringLiteral("OpenMessage"));
    layout->addWidget(m_title);
    layout->addWidget(m_message);
    setMinimumWidth(320);
}

void OpenWindow::showFailure(const QString& message)
{
    m_message->setText(message);
    show();
    raise();
    QEventLoop wait;
    QTimer::singleShot(FailureDisplayMs, &wait, &QEventLoop::quit);
    wait.exec(QEventLoop::ExcludeUserInputEvents);
    close();
}

QString OpenWindow::message() const { return m_message->text(); }
