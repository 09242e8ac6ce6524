#include "app/dialogs/SystemInfoDialog.h"

#include "app/SystemInfoReport.h"

#include <QDesktopServices>
#include <QDialogButtonBox>
#include <QDir>
#include <QFile>
#include <QFormLayout>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QOffscreenSurface>
#include <QOpenGLContext>
#include <QOpenGLFunctions>
#include <QPlainTextEdit>
#include <QScreen>
#include <QStorageInfo>
#include <QSysInfo>
#include <QTabWidget>
#include <QUrl>
#include <QVBoxLayout>

#include <algorithm>

namespace systeminfo {

namespace {

std::optional<std::uint64_t> freeDiskKb(const QStorageInfo& storage)
{
    if (!storage.isValid() || !storage.isReady() || storage.bytesAvailable() < 0)
        return std::nullopt;
    return static_cast<std::uint64_t>(storage.bytesAvailable()) / 1024U;
}

std::optional<MemoryFigures> memoryFigures()
{
    QFile meminfo(QStringLiteral("/proc/meminfo"));
    if (!meminfo.open(QIODevice::ReadOnly))
        return std::nullopt;
    return parseMeminfo(meminfo.readAll());
}

QString glString(QOpenGLFunctions& gl, GLenum name)
{
    const GLubyte* text = gl.glGetString(name);
    return text ? QString::fromLatin1(reinterpret_cast<const char*>(text)) : QString();
}

} // namespace

QString gatherReport()
{
    const QString os = osReport(QSysInfo::prettyProductName(), QSysInfo::productVersion(), QSysInfo::kernelVersion(),
        QSysInfo::currentCpuArchitecture());
    const QStorageInfo storage(QDir::currentPath());
    const QString memory = memoryReport(memoryFigures(), diskText(freeDiskKb(storage), storage.rootPath()));
    const QScreen* screen = QGuiApplication::primaryScreen();
    const QString display = screen ? screenReport(screen->size().width(), screen->size().height(), screen->depth())
                                   : screenReport(0, 0, 0);
    return joinReports(os, memory, display);
}

std::optional<OpenGlFacts> queryOpenGl()
{
    QOpenGLContext context;
    if (!context.create())
        return std::nullopt;
    QOffscreenSurface surface;
    surface.setFormat(context.format());
    surface.create();
    if (!surface.isValid() || !context.makeCurrent(&surface))
        return std::nullopt;
    QOpenGLFunctions& gl = *context.functions();
    OpenGlFacts facts { glString(gl, GL_VENDOR), glString(gl, GL_RENDERER), glString(gl, GL_VERSION),
        glString(gl, GL_EXTENSIONS) };
    // A core profile has no extensions string; the context lists them one by one.
    if (facts.extensions.isEmpty()) {
        QStringList names;
        for (const QByteArray& name : context.extensions())
            names.append(QString::fromLatin1(name));
        names.sort();
        facts.extensions = names.join(QLatin1Char(' '));
    }
    context.doneCurrent();
    return facts;
}

} // namespace systeminfo

namespace {

constexpr const char* OpenGlSite = "https://www.opengl.org/";

QLineEdit* readOnlyLine(const QString& text, QWidget* parent)
{
    auto* field = new QLineEdit(text, parent);
    field->setReadOnly(true);
    field->setCursorPosition(0);
    return field;
}

} // namespace

SystemInfoDialog::SystemInfoDialog(const QString& report, const std::optional<systeminfo::OpenGlFacts>& openGl,
                                   QWidget* parent)
    : QDialog(parent)
{
    setWindowTitle(tr("System Info"));
    m_pages = new QTabWidget(this);
    m_pages->addTab(createGeneralPage(report), tr("General"));
    m_pages->addTab(createOpenGlPage(openGl), tr("OpenGL"));

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_pages);
    layout->addWidget(buttons);
    resize(480, 420);
}

QWidget* SystemInfoDialog::createGeneralPage(const QString& report)
{
    auto* page = new QWidget(this);
    m_report = new QPlainTextEdit(page);
    m_report->setReadOnly(true);
    // The report's lines end in CR LF; the text field wants bare line feeds.
    m_report->setPlainText(QString(report).replace(QStringLiteral("\r\n"), QStringLiteral("\n")));
    auto* layout = new QVBoxLayout(page);
    layout->addWidget(m_report);
    return page;
}

QWidget* SystemInfoDialog::createOpenGlPage(const std::optional<systeminfo::OpenGlFacts>& openGl)
{
    const QString unavailable = tr("Unavailable");
    auto* page = new QWidget(this);
    m_vendor = readOnlyLine(openGl ? openGl->vendor : unavailable, page);
    m_renderer = readOnlyLine(openGl ? openGl->renderer : unavailable, page);
    m_version = readOnlyLine(openGl ? openGl->version : unavailable, page);
    m_extensions = new QPlainTextEdit(page);
    m_extensions->setReadOnly(true);
    m_extensions->setLineWrapMode(QPlainTextEdit::NoWrap);
    m_extensions->setPlainText(openGl ? systeminfo::extensionLines(openGl->extensions) : unavailable);

    auto* link = new QLabel(QStringLiteral("<a href=\"%1\">%1</a>").arg(QString::fromLatin1(OpenGlSite)), page);
    link->setTextInteractionFlags(Qt::TextBrowserInteraction);
    link->setOpenExternalLinks(false);
    connect(link, &QLabel::linkActivated, this,
        [](const QString& address) { QDesktopServices::openUrl(QUrl(address)); });

    auto* layout = new QFormLayout(page);
    layout->addRow(tr("Vendor"), m_vendor);
    layout->addRow(tr("Renderer"), m_renderer);
    layout->addRow(tr("Version"), m_version);
    layout->addRow(tr("Extensions"), m_extensions);
    layout->addRow(link);
    return page;
}
