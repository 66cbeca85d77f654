#include "common_graph.h"

int32_t PicEditAccepted = 0;
QString PicEditFileName;
rt::Picture PicEditPicture = rt::Picture::empty();
int32_t PicChooseAccepted = 0;
QString PicChooseFileName;
