#pragma once
#include "store/database.h"

#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QWidget>

// The hint window: a free-text note per window and control, kept in the work file.
class Hint : public QWidget {
    Q_OBJECT
  public:
    Hint(Database& work, const QString& formName, const QString& ctlName, const QString& formTitle,
         QWidget* owner = nullptr);

    QLabel *lblFormName, *lblCtlName, *lblFormTitle;
    QPlainTextEdit* txtContents;
    QPushButton *cmd登録, *cmd削除, *cmdクリア, *cmd編集, *cmd閉じる;
    bool editing() const { return editing_; }
    // The work file was opened anew (a restore): the note shown is read from it.
    void setDatabase(Database& work) {
        work_ = &work;
        txtContents->clear();
        ReadHint();
    }

    void ReadHint();
    void EntryHint();
    void Deleteヒント();
    void cmd登録_Click();
    void cmd削除_Click();
    void cmdクリア_Click() { txtContents->clear(); }
    void cmd編集_Click();
    void cmd閉じる_Click() { close(); }

  private:
    void paintEditButton();
    Database* work_;
    bool editing_ = false;
};
