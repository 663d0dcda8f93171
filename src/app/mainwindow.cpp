#include "mainwindow.h"
#include "ui_mainwindow.h"

#include <QIntValidator>
#include <QMessageBox>
#include <QTextCodec>

MainWindow::MainWindow(QWidget *parent)
    : QMainWindow(parent)
    , ui(new Ui::MainWindow)
{
    ui->setupUi(this);

    QTextCodec::setCodecForLocale(QTextCodec::codecForName("UTF-8"));

    ui->num_male->setValidator(new QIntValidator(0, 150, this));
    ui->num_female->setValidator(new QIntValidator(0, 150, this));
    ui->num_jiazu->setValidator(new QIntValidator(0, 150, this));

    if (!QTextCodec::codecForName("Big5"))
        QMessageBox::critical(this, tr("錯誤"), tr("程序無法找到Big5編碼器，將無法正常工作。"));

    loadNamePools();
}

MainWindow::~MainWindow()
{
    delete ui;
}
