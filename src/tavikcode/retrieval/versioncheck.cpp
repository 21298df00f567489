#include "tform1.h"

void TForm1::writeVersionFile() {}
void TForm1::FetchVersionInfo() {}
void TForm1::readVersionPageAndNotify() {}
void TForm1::checkBuildNumber() {}
void TForm1::Label15Click() {}
