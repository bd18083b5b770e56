#pragma once
#define IDS_HARNESS_CHINESE 101
