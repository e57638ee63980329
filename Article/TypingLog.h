// The typing log's public names: track records, their sort, and the two record files.
#pragma once

#include "Article/LessonTrackFile.h"
#include "Article/TrackRecords.h"
#include "Article/WordTrackFile.h"
