#include "tform1.h"

void TForm1::FindMatches() {}
void TForm1::Edit3KeyPress(QChar) {}
void TForm1::Edit3Click() {}
void TForm1::RichEdit3MouseDown() {}
void TForm1::Button5Click() {}
