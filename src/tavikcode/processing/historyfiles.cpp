#include "tform1.h"

void TForm1::ProcessResponse() {}
void TForm1::ClearHistoryFiles() {}
void TForm1::Button7Click() {}
