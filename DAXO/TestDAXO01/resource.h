#pragma once
// Resources of TestDAXO01.dll: templates, bitmap, icon and the ids of their controls.

#define IDI_MODULE                  1

#define IDD_CONFIG                  2020
#define IDD_TESTCONFIG              2021
#define IDD_CONFIRM                 2022
#define IDB_JUMPER                  2023

// Configuration dialog 2020
#define IDC_ADDRESS                 32771
#define IDC_DELAY                   32772
#define IDC_BAUD                    32773
#define IDC_PARITY                  32774
#define IDC_QUAD01                  32776
#define IDC_QUAD23                  32777
#define IDC_MIN0                    32778
#define IDC_MIN1                    32779
#define IDC_MIN2                    32780
#define IDC_MIN3                    32781
#define IDC_MAX0                    32782
#define IDC_MAX1                    32783
#define IDC_MAX2                    32784
#define IDC_MAX3                    32785
#define IDC_NOANSWER                32786
#define IDC_PICTURE                 32787
#define IDC_WRITE                   32788
#define IDC_SERIES                  32789
#define IDC_CURRENT01               32790
#define IDC_CURRENT23               32791
#define IDC_SPIN_MIN0               32805
#define IDC_SPIN_MIN1               32806
#define IDC_SPIN_MIN2               32807
#define IDC_SPIN_MIN3               32808
#define IDC_SPIN_MAX0               32809
#define IDC_SPIN_MAX1               32810
#define IDC_SPIN_MAX2               32811
#define IDC_SPIN_MAX3               32812
#define IDC_LBL_ADDRESS             32815
#define IDC_LBL_DELAY               32816
#define IDC_LBL_BAUD                32817
#define IDC_LBL_PARITY              32818
#define IDC_LBL_QUAD                32819
#define IDC_LBL_CURRENT01           32820
#define IDC_LBL_CURRENT23           32821
#define IDC_LBL_MIN                 32822
#define IDC_LBL_MAX                 32823
#define IDC_LBL_I0                  32824
#define IDC_LBL_I1                  32825
#define IDC_LBL_I2                  32826
#define IDC_LBL_I3                  32827
#define IDC_TIMEOUT_ON              32830
#define IDC_TIMEOUT                 32831

// Test dialog 2021
#define IDC_TEST_HEADING            32800
#define IDC_TEST_INFO               32801

// Next-unit dialog 2022
#define IDC_CONFIRM_PROMPT          32795
