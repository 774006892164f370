* subkeys.asm: the function keys F1-F10 and the text screen's answers to
* the BASIC (included by sub.asm).
*
* Entry points:
*   fkinit  the keys' texts to their defaults, not shown (reset)
*   fkstart A = a function key's number (1-10): its text is to go into the
*           key ring (FIRQ); fkmove moves what fits (FIRQ masked)
*   fkfeed  moves more of a function key's text into the ring when there is
*           room again (the main loop and getk call it)
*   fkrow   draws the keys' row when it is shown
*   gkey    C_KEY: DATA[0] = key number 1-10 and its new text (up to 15
*           characters), or 0 (KEY OFF) or FF (KEY ON)
*   gscreen C_SCREEN column(2) row(2): reply the character there (2 bytes),
*           FFFF off the text screen
*   gwidth  C_WIDTH n: n columns (80 or 40), the screen cleared
* A function key types its text, as if its characters had been typed; the
* text goes into the key ring as far as there is room and the rest follows
* as the ring empties (another key waits in the latch meanwhile). With KEY ON
* the bottom row shows the first 6 characters of each key in 10 fields of 8
* columns (the text copy reads them there too), and text uses rows 0-23.
* Work bytes: FKON FKLEFT FKPTR (direct page), the texts FKEYS C820-C8BF
* (16 bytes a key: length, then up to 15 characters).

FKON    EQU $D01A           ; 1: the keys' row is shown
FKLEFT  EQU $D01B           ; characters of a key's text still to go
FKPTR   EQU $D01C           ; the next of them (2)
FKEYS   EQU $C820
FKMAX   EQU 15

fkinit  CLR FKON
        CLR FKLEFT
        LDU #FKEYS
        LDY #fkdef
.k      LDB ,Y+
        BEQ .r
        TFR U,X
        STB ,X+
.c      LDA ,Y+
        STA ,X+
        DECB
        BNE .c
        LEAU 16,U
        BRA .k
.r      RTS

* The keys' texts after a reset (length, characters; 0 ends the list).
fkdef   FCB 5,"LIST "
        FCB 4,"RUN",CH_CR
        FCB 5,"LOAD",$22
        FCB 5,"SAVE",$22
        FCB 5,"CONT",CH_CR
        FCB 6,"PRINT "
        FCB 7,"LOCATE "
        FCB 6,"COLOR "
        FCB 5,"TRON",CH_CR
        FCB 6,"TROFF",CH_CR
        FCB 0

* fkstart: A = the key's number; its text is to go into the ring.
fkstart DECA
        CMPA #9
        BHI .r
        LDB #16
        MUL
        ADDD #FKEYS
        TFR D,X
        LDA ,X+
        STX FKPTR
        STA FKLEFT
.r      RTS

* fkmove: the rest of the key's text into the ring, as far as it goes.
fkmove  TST FKLEFT
        BEQ .r
        LDB SH_SUB+SH_KHEAD
        INCB
        ANDB #SH_KMASK
        CMPB SH_SUB+SH_KTAIL
        BEQ .r              ; full
        LDX FKPTR
        LDA ,X+
        STX FKPTR
        DEC FKLEFT
        JSR kput
        BRA fkmove
.r      RTS

* fkfeed: fkmove with the key FIRQ masked; afterwards the FIRQ may come
* again (a key held back meanwhile comes in).
fkfeed  TST FKLEFT
        BEQ .r
        ORCC #$40
        BSR fkmove
        ANDCC #$BF
.r      RTS

* fkrow: the keys' row (row 24), when shown.
fkrow   TST FKON
        BEQ .r
        CLRB
.c      PSHS B              ; the column
        LDA #16             ; X = the field's key: FKEYS + 16 x (column / 8)
        LSRB
        LSRB
        LSRB
        MUL
        ADDD #FKEYS
        TFR D,X
        LDA ,S
        ANDA #7             ; the place in the field
        LDB #' '
        CMPA #6
        BHS .ch
        CMPA ,X
        BHS .ch             ; past the text
        INCA
        LDB A,X
        CMPB #' '
        BHS .ch
        LDB #' '            ; control characters show as blanks
.ch     PSHS B
        LDA #NROWS-1
        LDB 1,S
        JSR cellad          ; X = picture, Y = text
        PULS A
        STA ,Y
        JSR glyph
        LDA ,S
        ANDA #7
        CMPA #6
        BHS .n
        JSR invcel          ; the field's first 6 columns in reverse
.n      PULS B
        INCB
        CMPB NCOL
        BLO .c
.r      RTS

gkey    LDA GARG
        BEQ .off
        INCA
        BEQ .on
        SUBA #2             ; the key's number - 1
        CMPA #9
        BHI .r
        LDB #16
        MUL
        ADDD #FKEYS
        TFR D,U
        LDB SH_SUB+SH_LEN
        DECB
        CMPB #FKMAX
        BLS .l
        LDB #FKMAX
.l      STB ,U+
        BEQ .d
        LDX #GARG+1
.cp     LDA ,X+
        STA ,U+
        DECB
        BNE .cp
.d      JMP fkrow
.on     TST FKON
        BNE .r
        LDA CURY            ; the cursor leaves the bottom row
        CMPA #NROWS-1
        BLO .on2
        JSR scroll
        DEC CURY
.on2    INC FKON
        LDA #NROWS-2
        BRA .row
.off    TST FKON
        BEQ .r
        CLR FKON
        LDA #NROWS-1
.row    STA LROW            ; the bottom row starts blank
        LDX #ROWBYTES*(NROWS-1)
        LDY #ROWBYTES
        JSR clrarea
        LDX RTAB
        LDD 2*NROWS,X
        PSHS D
        LDX 2*NROWS-2,X
        LDD #$2020
.b      STD ,X++
        CMPX ,S
        BLO .b
        LEAS 2,S
        CLR CONT+NROWS-1
        JMP fkrow
.r      RTS

* C_WIDTH: 80 or 40 columns; the screen is cleared.
gwidth  LDA GARG
        JSR setwid
        JMP cls

gscreen LDD GARG+2
        CMPD #NROWS
        BHS .off
        LDD GARG
        TSTA
        BNE .off
        CMPB NCOL
        BHS .off
        LDA GARG+3
        JSR cellad
        LDB ,Y
        CLRA
        JMP greply
.off    JMP gbig
