#include "tform1.h"

void TForm1::ShowReports() {}
void TForm1::SortAndShowReports() {}
void TForm1::ShowActiveStations() {}
void TForm1::ShowGrids() {}
void TForm1::ComboBox1Change() {}
