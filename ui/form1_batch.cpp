// The batch page. Placeholder: the controls exist with their geometry; loading and
// computing arrive with the batch page's own work.
#include <QGroupBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTableView>

#include "form1.h"
#include "radio_group.h"

void TForm1::BuildBatchPage()
{
    RadioGroup3 = new RadioGroup(QStringLiteral("Step1 選擇轉換方式"),
                                 {QStringLiteral("１．ＴＭ２轉經緯度"), QStringLiteral("２．經緯度轉ＴＭ２")},
                                 TabSheet2);
    RadioGroup3->setObjectName(QStringLiteral("RadioGroup3"));
    RadioGroup3->setGeometry(8, 8, 217, 185);
    RadioGroup3->SetItemIndex(0);

    RadioGroup4 = new RadioGroup(QStringLiteral("Step2 選擇地球參考橢球體之地球原子"),
                                 {QStringLiteral("１．GRS67,TWD67(虎子山)"), QStringLiteral("２．GRS80,TWD97")},
                                 TabSheet2);
    RadioGroup4->setObjectName(QStringLiteral("RadioGroup4"));
    RadioGroup4->setGeometry(8, 200, 217, 161);
    RadioGroup4->SetItemIndex(0);

    GroupBox3 = new QGroupBox(QStringLiteral("Step3資料載入  E N   or   經緯度"), TabSheet2);
    GroupBox3->setObjectName(QStringLiteral("GroupBox3"));
    GroupBox3->setGeometry(240, 8, 345, 185);

    Button6 = new QPushButton(QStringLiteral("檔案載入"), GroupBox3);
    Button6->setObjectName(QStringLiteral("Button6"));
    Button6->setGeometry(16, 16, 321, 25);

    StringGrid1 = new QTableView(GroupBox3);
    StringGrid1->setObjectName(QStringLiteral("StringGrid1"));
    StringGrid1->setGeometry(16, 48, 321, 129);

    Button5 = new QPushButton(QStringLiteral("計算"), TabSheet2);
    Button5->setObjectName(QStringLiteral("Button5"));
    Button5->setGeometry(240, 208, 345, 25);

    GroupBox4 = new QGroupBox(QStringLiteral("Result結果"), TabSheet2);
    GroupBox4->setObjectName(QStringLiteral("GroupBox4"));
    GroupBox4->setGeometry(240, 240, 345, 121);

    Memo2 = new QPlainTextEdit(GroupBox4);
    Memo2->setObjectName(QStringLiteral("Memo2"));
    Memo2->setGeometry(16, 16, 321, 97);
}

void TForm1::Button6Click() {}
void TForm1::RadioGroup3Click() {}
void TForm1::RadioGroup4Click() {}
void TForm1::Button5Click() {}
