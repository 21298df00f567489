#include "tform1.h"

void TForm1::CheckConnection() {}
void TForm1::IdIPWatch1StatusChanged() {}
void TForm1::connectAtActivation() {}
void TForm1::refreshConnectivity() {}
void TForm1::showConnectivity() {}
