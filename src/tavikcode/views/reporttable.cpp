#include "tform1.h"

void TForm1::ShowReportTable() {}
void TForm1::LoadGridFromCsv(const QString &, QTableWidget *) {}
void TForm1::CheckBox1Click() {}
