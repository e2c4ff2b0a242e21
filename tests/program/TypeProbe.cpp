// A one-line edit for the self-test of lib.sh: TITLE is its window title;
// Return writes the edit's text to OUTFILE and ends the program with status 3.

#include <QApplication>
#include <QFile>
#include <QLineEdit>

int main(int argc, char *argv[])
{
    QApplication application(argc, argv);
    const QStringList arguments = application.arguments();
    if (arguments.size() != 3)
        return 2;
    QLineEdit edit;
    edit.setWindowTitle(arguments.at(1));
    edit.resize(600, 40);
    QObject::connect(&edit, &QLineEdit::returnPressed, [&] {
        QFile out(arguments.at(2));
        if (!out.open(QIODevice::WriteOnly) || out.write(edit.text().toUtf8()) < 0)
            QApplication::exit(1);
        else
            QApplication::exit(3);
    });
    edit.show();
    return application.exec();
}
