/* Resource ids shared by starfield.c and starfield.rc. */
#define IDD_SETTINGS 2003   /* the saver's own page of the settings sheet */
#define IDD_ABOUT    2004   /* the saver's own About box */

#define IDC_PREVIEW  2010   /* monitor control that shows the live preview */
#define IDC_STARS    2011
#define IDC_SPEED    2012
