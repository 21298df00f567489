#include "tform1.h"

void TForm1::QueryReports() {}
void TForm1::Button6Click() {}
void TForm1::Edit5KeyPress(QChar) {}
