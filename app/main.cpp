#include "Application.h"
#include "TfrmMain.h"

#include <QApplication>
#include <QMessageBox>
#include <cxxabi.h>
#include <exception>
#include <memory>
#include <typeinfo>

namespace {

QString errorClass(const std::exception &error)
{
    int status = 0;
    std::unique_ptr<char, void (*)(void *)> name(
        abi::__cxa_demangle(typeid(error).name(), nullptr, nullptr, &status), std::free);
    return QString::fromLatin1(status == 0 && name ? name.get() : typeid(error).name());
}

} // namespace

int main(int argc, char *argv[])
{
    QApplication application(argc, argv);
    try {
        // The desktop knows the program by its title, which comes from the
        // executable's name.
        QApplication::setApplicationName(widgets::Application::instance().Title());
        TfrmMain frmMain(QCoreApplication::applicationFilePath());
        frmMain.show();
        return application.exec();
    } catch (const std::exception &error) {
        QMessageBox box(
            QMessageBox::Critical, QStringLiteral("Application Error"),
            QStringLiteral("%1: %2").arg(errorClass(error), QString::fromUtf8(error.what())));
        box.setWindowModality(Qt::ApplicationModal);
        box.exec();
        return 1;
    }
}
