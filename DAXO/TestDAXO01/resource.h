#pragma once
// Resources of TestDAXO01.dll.

#define IDI_MODULE                  1
#define IDD_CONFIG                  2020
#define IDD_TESTCONFIG              2021
#define IDD_CONFIRM                 2022
#define IDB_JUMPER                  2023
