* sub.asm: the sub CPU's firmware (D800-FFFF, "fb30sub.dat").
*
* The sub CPU owns the picture and the keyboard. It keeps an 80 x 25 text
* screen: every character is drawn from the 8 x 8 font into the three video
* RAM planes (640 x 200, 80 bytes a line, eight lines a text row) and its code
* is kept in RAM at C000 (row r, column c at C000 + 80r + c), with the number
* of columns at D036 and of rows at D037, where the host's text copy reads
* them. WIDTH 40 (C_WIDTH) gives 40 columns of characters drawn twice as
* wide, kept in the text screen 40 to a row. The screen scrolls in hardware: writing a new start offset to
* D40E/D40F rotates video RAM so that the picture always starts at offset 0.
*
* Work comes from the main CPU through the command slot in shared RAM (see
* defs.inc): print text, edit a line (the screen editor in subedit.asm runs
* here, next to the screen), hand over the rest of a long line, wait for a
* key, draw a 16 x 16 pattern. Between commands the sub CPU reads D40A to
* tell the main CPU it is ready; writing D40A marks it busy.
*
* A logical line may run over up to four screen rows. CONT holds one byte a
* row, not 0 where the row continues the row above; printing past the last
* column, scrolling, clearing and the editor keep the marks with the rows.
*
* Interrupts: the timer NMI counts ticks (the cursor blinks from them); the
* key FIRQ puts the code from D401 into the key ring in shared RAM (a
* function key puts its text there, subkeys.asm) (the main
* CPU fills the same ring when it takes key interrupts itself). When the ring
* is full the FIRQ leaves the code unread in D401 and stays masked until the
* editor takes a key out of the ring or the command loop comes round again,
* so a key that keeps coming waits in the latch instead of being lost. The
* IRQ is the main CPU's cancel request, acknowledged at D402, which ends a
* line edit or key wait at once.

        INCLUDE "defs.inc"

TEXT    EQU $C000           ; text screen, 80 x 25 character codes
NCOLS   EQU 80
NROWS   EQU 25
ROWBYTES EQU 640            ; video RAM bytes of one text row (8 lines)
PLANE1  EQU $4000
PLANE2  EQU $8000

* Direct page D0: the sub CPU starts with DP = D0.
CURX    EQU $D000           ; cursor column
CURY    EQU $D001           ; cursor row
FG      EQU $D002           ; text colour
BG      EQU $D003           ; background colour
FM0     EQU $D004           ; FF where the text colour has plane 0..2
FM1     EQU $D005
FM2     EQU $D006
BM0     EQU $D007           ; FF where the background has plane 0..2
BM1     EQU $D008
BM2     EQU $D009
FAST    EQU $D00A           ; 1: white on black, the quick way to draw
TICKS   EQU $D00B           ; timer NMIs
CANCEL  EQU $D00C           ; set by the main CPU's cancel request
INSMODE EQU $D00D           ; 1: typed characters are inserted
CURON   EQU $D00E           ; 1: the cursor is shown now
BLINKT  EQU $D00F           ; tick of the last cursor change
SCROFF  EQU $D010           ; hardware scroll offset (2 bytes)
EDSTART EQU $D012           ; column where the line edit began
ESCST   EQU $D013           ; 1: the last character printed was ESC
TMPA    EQU $D014
EDROW   EQU $D015           ; row where the line edit began, FF once gone
LINLEN  EQU $D016           ; length of the line entered last
LNFIRST EQU $D017           ; first and last row of the logical line
LNLAST  EQU $D018           ; being worked on
LROW    EQU $D019           ; the last text row: 24, 23 while KEY ON shows
                            ; the function keys on row 24
WIDE    EQU $D01E           ; 1: 40 columns of double-width characters
NCOL    EQU $D01F           ; columns: 80 or 40 (WIDTH)
RTAB    EQU $D020           ; the text rows' addresses: rowtext or rowtx40
LMAX    EQU $D022           ; characters a logical line holds (4 rows at most)
CONT    EQU $C800           ; 25 row marks: not 0 = continues the row above
LINE    EQU $C900           ; the line entered last (up to LINMAX)
COLS    EQU $D036           ; read by the host's text copy
ROWS    EQU $D037

BLINK   EQU 12              ; ticks between cursor changes

        SETDP $D0

        ORG $D800

* ---------------------------------------------------------------- reset
reset   ORCC #$50
        LDS #$D000
        LDA #$D0
        TFR A,DP
        CLR CURX
        CLR CURY
        LDA #7
        STA FG
        CLR BG
        JSR setcol
        CLR CANCEL
        CLR INSMODE
        STA S_INSLAMP       ; a write puts the INS lamp out
        CLR CURON
        CLR ESCST
        CLR LINLEN
        LDA #$FF
        STA EDROW
        LDA #NROWS
        STA ROWS
        DECA
        STA LROW
        LDA #NCOLS
        JSR setwid
        JSR fkinit
        CLR SCROFF          ; the reset set the scroll offset to 0
        CLR SCROFF+1
        CLR SH_SUB+SH_KHEAD
        CLR SH_SUB+SH_KTAIL
        CLR SH_SUB+SH_CMD
        ANDCC #$AF          ; keys typed while the screen clears go into
        JSR cls             ; the ring, not over each other in the latch

* ---------------------------------------------------------------- main loop
idle    LDA S_BUSY          ; a read says "ready"
        ANDCC #$BF          ; the key FIRQ again: a key held back while the
                            ; ring was full comes in once the main CPU has
                            ; taken keys out of it (INKEY$)
        JSR fkfeed
        LDA SH_SUB+SH_CMD
        BEQ idle
        STA S_BUSY          ; a write says "busy"
        JSR docmd
        CLR SH_SUB+SH_CMD   ; slot free; the next read of D40A says ready
        BRA idle

docmd   CMPA #C_GFX
        LBHS gfxcmd
        DECA
        CMPA #C_LAST
        BHS .bad
        LSLA
        LDX #cmdtab
        JMP [A,X]
.bad    RTS

cmdtab  FDB cprint,cinput,cgetkey,cpattern,cmore

* ---------------------------------------------------------------- commands
* C_PRINT: LEN characters from DATA.
cprint  LDB SH_SUB+SH_LEN
        BEQ .done
        CMPB #SH_DMAX       ; never past the data area (I/O follows D3FF)
        BLS .len
        LDB #SH_DMAX
.len    LDX #SH_SUB+SH_DATA
.loop   LDA ,X+
        PSHS B,X
        JSR putc
        PULS B,X
        DECB
        BNE .loop
.done   RTS

* C_GETKEY: wait for a key; DATA[0] = code, STAT 0; STAT 1 if cancelled.
cgetkey CLR CANCEL
        JSR curinit
.wait   TST CANCEL
        BNE .cancel
        JSR getk
        BCS .key
        JSR blink
        BRA .wait
.key    STA SH_SUB+SH_DATA
        JSR curoff
        LDA #1
        STA SH_SUB+SH_LEN
        CLR SH_SUB+SH_STAT
        LDA S_ATTN          ; tell the main CPU
        RTS
.cancel JSR curoff
        CLR SH_SUB+SH_LEN
        LDA #1
        STA SH_SUB+SH_STAT
        RTS

* C_PATTERN: 32 bytes, 16 rows of (left 8 dots, right 8 dots), drawn in the
* text colour over two columns and two rows at the cursor; with 40 columns
* every dot twice as wide, like the characters beside it.
cpattern
        LDA CURX
        INCA
        CMPA NCOL
        BLO .x
        JSR newline
.x      LDA CURY
        CMPA LROW
        BLO .y
        JSR scroll
        LDA LROW
        DECA
        STA CURY
.y      LDA CURY
        LDB CURX
        JSR cellad
        LDU #SH_SUB+SH_DATA
        LDB #16
.row    PSHS X
        LDA ,U+
        BSR pat8
        LDA ,U+
        BSR pat8
        PULS X
        LEAX NCOLS,X
        DECB
        BNE .row
        LDA CURX
        ADDA #2
        STA CURX
        CMPA NCOL
        BLO .done
        JSR newline
.done   RTS
* pat8: the 8 dots in A at X, doubled when the characters are; X moves on.
pat8    TST WIDE
        BEQ .n
        JSR wput
        LEAX 1,X
        RTS
.n      JSR putpl
        LEAX 1,X
        RTS

* ---------------------------------------------------------------- keys
* getk: next key of the ring. C = 1 and A = code, or C = 0 when empty.
getk    JSR fkfeed
        LDB SH_SUB+SH_KTAIL
        CMPB SH_SUB+SH_KHEAD
        BEQ .none
        LDX #SH_SUB+SH_KBUF
        LDA B,X
        INCB
        ANDB #SH_KMASK
        STB SH_SUB+SH_KTAIL
        ANDCC #$BF          ; room again: a key held back by the FIRQ comes in
        ORCC #$01
        RTS
.none   ANDCC #$FE
        RTS

* kput: put the code in A into the key ring; dropped when the ring is full.
kput    LDB SH_SUB+SH_KHEAD
        INCB
        ANDB #SH_KMASK
        CMPB SH_SUB+SH_KTAIL
        BEQ .full
        PSHS B
        LDB SH_SUB+SH_KHEAD
        LDX #SH_SUB+SH_KBUF
        STA B,X
        PULS B
        STB SH_SUB+SH_KHEAD
.full   RTS

* ---------------------------------------------------------------- cursor
curinit CLR CURON
        LDA TICKS
        SUBA #BLINK
        STA BLINKT
        RTS

* blink: change the cursor when BLINK ticks have passed.
blink   LDA TICKS
        SUBA BLINKT
        CMPA #BLINK
        BLO .r
        LDA TICKS
        STA BLINKT
        JMP curtog
.r      RTS

curoff  TST CURON
        BNE curtog
        RTS

* curtog: invert the cell under the cursor on all planes.
curtog  LDA CURY
        LDB CURX
        JSR cellad
        BSR invcel
        LDA CURON
        EORA #1
        STA CURON
        RTS

* invcel: the cell at video RAM offset X inverted on all planes. B, X lost.
invcel  LDB #8
.l      COM ,X
        COM PLANE1,X
        COM PLANE2,X
        TST WIDE
        BEQ .n
        COM 1,X
        COM PLANE1+1,X
        COM PLANE2+1,X
.n      LEAX NCOLS,X
        DECB
        BNE .l
        RTS

* ---------------------------------------------------------------- output
* putc: print A at the cursor. Codes below 20: BEL beeps, BS, TAB, LF (ignored;
* CR starts the next line), HOME, CLS, CR, ESC (ESC '0'..'7' sets the text
* colour) and the four cursor moves; others are ignored.
putc    TST ESCST
        BNE .esc
        CMPA #$20
        BLO .ctrl
        CMPA #$7F
        BEQ .r
        JSR drawch
        INC CURX
        LDA CURX
        CMPA NCOL
        BLO .r
        JMP wrapnl
.esc    CLR ESCST
        SUBA #'0'
        CMPA #7
        BHI .r
        STA FG
        JMP setcol
.r      RTS
.ctrl   CMPA #CH_CR
        LBEQ newline
        CMPA #CH_ESC
        BNE .c1
        INC ESCST
        RTS
.c1     CMPA #CH_BS
        BNE .c2
        TST CURX
        BEQ .r
        DEC CURX
        RTS
.c2     CMPA #CH_CLS
        LBEQ cls
        CMPA #CH_BEL
        BNE .c3
        LDA S_BEEP
        RTS
.c3     CMPA #CH_HOME
        BNE .c4
        CLR CURX
        CLR CURY
        RTS
.c4     CMPA #CH_TAB
        BNE .c5
.tab    LDA #$20
        JSR putc
        LDA CURX
        ANDA #7
        BNE .tab
        RTS
.c5     CMPA #CH_RIGHT
        BNE .c6
        LDA CURX
        INCA
        CMPA NCOL
        BHS .r
        STA CURX
        RTS
.c6     CMPA #CH_LEFT
        BNE .c7
        TST CURX
        BEQ .r
        DEC CURX
        RTS
.c7     CMPA #CH_UP
        BNE .c8
        TST CURY
        BEQ .r
        DEC CURY
        RTS
.c8     CMPA #CH_DOWN
        BNE .r
        LDA CURY
        CMPA LROW
        BHS .r
        INC CURY
        RTS

* newline: column 0 of the next row, scrolling at the bottom; that row
* begins a logical line.
newline CLR CURX
        LDA CURY
        CMPA LROW
        BHS .scr
        INCA
        STA CURY
        BRA .mark
.scr    JSR scroll
        LDA CURY
.mark   LDX #CONT
        CLR A,X
        RTS

* wrapnl: printing ran past the last column: the next row continues the
* logical line, unless that already has four rows.
wrapnl  LDA CURY
        JSR lnfirst
        NEGA
        ADDA CURY           ; rows of the line above the cursor row
        PSHS A
        JSR newline
        PULS A
        CMPA #3
        BHS .r
        LDA CURY
        LDX #CONT
        LDB #1
        STB A,X
.r      RTS

* scroll: everything up one text row. The text buffer is moved; the picture
* moves by the hardware scroll (start offset + 640), and the row that comes
* in at the bottom is cleared (with the function keys shown, the keys' row
* is drawn again below it).
scroll  LDA LROW
        LSLA
        LDX RTAB
        LDD A,X
        PSHS D              ; the last text row
        LDX #TEXT
        LDB NCOL
        LEAU B,X            ; the row below
.mv     LDD ,U++            ; 8 bytes a round
        STD ,X++
        LDD ,U++
        STD ,X++
        LDD ,U++
        STD ,X++
        LDD ,U++
        STD ,X++
        CMPX ,S
        BLO .mv
        LDB NCOL
        CLRA
        ADDD ,S
        STD ,S
        LDD #$2020
.bl     STD ,X++
        CMPX ,S
        BLO .bl
        LEAS 2,S
        LDX #CONT           ; the row marks move with the rows
        LDB LROW
.cm     LDA 1,X
        STA ,X+
        DECB
        BNE .cm
        CLR ,X
        CLR CONT            ; the top row begins a line now
        LDA EDROW           ; the edit's first row moves up (0 goes: FF)
        CMPA #$FF
        BEQ .vr
        DEC EDROW
.vr     LDD SCROFF
        ADDD #ROWBYTES
        ANDA #$3F
        ANDB #$E0
        STD SCROFF
        STA S_SCROLLHI
        STB S_SCROLLLO
        LDA LROW
        LSLA
        LDX #rowvram
        LDX A,X
        LDY #ROWBYTES
        TST FKON
        BEQ .c
        LDY #2*ROWBYTES
.c      JSR clrarea
        JMP fkrow

* cls: clear picture and text screen, cursor home.
cls     LDX #0
        LDY #ROWBYTES*NROWS
        JSR clrarea
        LDX #TEXT
        LDD #$2020
.t      STD ,X++
        CMPX #TEXT+NCOLS*NROWS
        BLO .t
        LDX #CONT
        LDB #NROWS
.c      CLR ,X+
        DECB
        BNE .c
        CLR CURX
        CLR CURY
        CLR CURON
        JMP fkrow

* clrarea: fill video RAM offsets X .. X+Y-1 (Y a multiple of 16) with the
* background colour on all three planes.
clrarea PSHS X,Y
        LDA BM0
        BSR .fill
        LDX ,S
        LEAX PLANE1,X
        LDA BM1
        BSR .fill
        LDX ,S
        LEAX PLANE2,X
        LDA BM2
        BSR .fill
        PULS X,Y,PC
.fill   PSHS A              ; [0]=A [1,2]=ret [3,4]=X [5,6]=Y
        TFR X,D
        ADDD 5,S
        PSHS D              ; end address
        LDA 2,S
        TFR A,B
.f      STD ,X++
        STD ,X++
        STD ,X++
        STD ,X++
        STD ,X++
        STD ,X++
        STD ,X++
        STD ,X++
        CMPX ,S
        BLO .f
        LEAS 3,S
        RTS

* cellad: A = row, B = column -> X = video RAM offset, Y = text address.
* A is lost, B kept.
cellad  LSLA
        LDX #rowvram
        LDX A,X
        ABX
        TST WIDE
        BEQ .t
        ABX
.t      LDY RTAB
        LDY A,Y
        LEAY B,Y
        RTS

* Start of each text row in video RAM and in the text screen.
rowvram FDB 0*ROWBYTES,1*ROWBYTES,2*ROWBYTES,3*ROWBYTES,4*ROWBYTES
        FDB 5*ROWBYTES,6*ROWBYTES,7*ROWBYTES,8*ROWBYTES,9*ROWBYTES
        FDB 10*ROWBYTES,11*ROWBYTES,12*ROWBYTES,13*ROWBYTES,14*ROWBYTES
        FDB 15*ROWBYTES,16*ROWBYTES,17*ROWBYTES,18*ROWBYTES,19*ROWBYTES
        FDB 20*ROWBYTES,21*ROWBYTES,22*ROWBYTES,23*ROWBYTES,24*ROWBYTES
rowtext FDB TEXT+0*NCOLS,TEXT+1*NCOLS,TEXT+2*NCOLS,TEXT+3*NCOLS,TEXT+4*NCOLS
        FDB TEXT+5*NCOLS,TEXT+6*NCOLS,TEXT+7*NCOLS,TEXT+8*NCOLS,TEXT+9*NCOLS
        FDB TEXT+10*NCOLS,TEXT+11*NCOLS,TEXT+12*NCOLS,TEXT+13*NCOLS,TEXT+14*NCOLS
        FDB TEXT+15*NCOLS,TEXT+16*NCOLS,TEXT+17*NCOLS,TEXT+18*NCOLS,TEXT+19*NCOLS
        FDB TEXT+20*NCOLS,TEXT+21*NCOLS,TEXT+22*NCOLS,TEXT+23*NCOLS,TEXT+24*NCOLS
        FDB TEXT+25*NCOLS   ; the end of the last row
rowtx40 FDB TEXT+0*40,TEXT+1*40,TEXT+2*40,TEXT+3*40,TEXT+4*40
        FDB TEXT+5*40,TEXT+6*40,TEXT+7*40,TEXT+8*40,TEXT+9*40
        FDB TEXT+10*40,TEXT+11*40,TEXT+12*40,TEXT+13*40,TEXT+14*40
        FDB TEXT+15*40,TEXT+16*40,TEXT+17*40,TEXT+18*40,TEXT+19*40
        FDB TEXT+20*40,TEXT+21*40,TEXT+22*40,TEXT+23*40,TEXT+24*40
        FDB TEXT+25*40

* setwid: A = 80 or 40 columns: the tables and bytes that go with it.
setwid  STA NCOL
        STA COLS
        LDX #rowtext
        LDY #LINMAX
        CLR WIDE
        CMPA #40
        BNE .s
        INC WIDE
        LDX #rowtx40
        LDY #4*40
.s      STX RTAB
        STY LMAX
        RTS

* drawch: A at the cursor (text buffer and picture).
drawch  LDB CURX
* drawat: A at column B of the cursor row.
drawat  PSHS A
        LDA CURY
        JSR cellad
        PULS A
        STA ,Y
        JMP glyph

* glyph: draw character A from the font at video RAM offset X.
glyph   PSHS X,Y,U
        TFR A,B
        CLRA
        LSLB
        ROLA
        LSLB
        ROLA
        LSLB
        ROLA
        ADDD #font
        TFR D,U
        LDB #8
        TST WIDE
        LBNE .wide
        TST FAST
        BEQ .slow
.fast   LDA ,U+             ; white on black: the glyph on every plane
        STA ,X
        STA PLANE1,X
        STA PLANE2,X
        LDA ,U+
        STA NCOLS,X
        STA PLANE1+NCOLS,X
        STA PLANE2+NCOLS,X
        LDA ,U+
        STA 2*NCOLS,X
        STA PLANE1+2*NCOLS,X
        STA PLANE2+2*NCOLS,X
        LDA ,U+
        STA 3*NCOLS,X
        STA PLANE1+3*NCOLS,X
        STA PLANE2+3*NCOLS,X
        LEAX 4*NCOLS,X
        LDA ,U+
        STA ,X
        STA PLANE1,X
        STA PLANE2,X
        LDA ,U+
        STA NCOLS,X
        STA PLANE1+NCOLS,X
        STA PLANE2+NCOLS,X
        LDA ,U+
        STA 2*NCOLS,X
        STA PLANE1+2*NCOLS,X
        STA PLANE2+2*NCOLS,X
        LDA ,U
        STA 3*NCOLS,X
        STA PLANE1+3*NCOLS,X
        STA PLANE2+3*NCOLS,X
        PULS X,Y,U,PC
.slow   LDA ,U+
        JSR putpl
        LEAX NCOLS,X
        DECB
        BNE .slow
        PULS X,Y,U,PC
.wide   LDA ,U+             ; each dot twice: two bytes a line
        BSR wput
        LEAX NCOLS-1,X
        DECB
        BNE .wide
        PULS X,Y,U,PC

* wput: the 8 dots in A drawn twice as wide at X and X+1; X ends at X+1.
* Y is lost.
wput    LDY #dbl
        PSHS A
        LSRA
        LSRA
        LSRA
        LSRA
        LDA A,Y
        BSR putpl
        PULS A
        ANDA #$0F
        LDA A,Y
        LEAX 1,X
        BRA putpl
dbl     FCB $00,$03,$0C,$0F,$30,$33,$3C,$3F,$C0,$C3,$CC,$CF,$F0,$F3,$FC,$FF

* putpl: the 8 dots in A at offset X in the text colour on the background.
putpl   PSHS A
        ANDA FM0
        STA TMPA
        LDA ,S
        COMA
        ANDA BM0
        ORA TMPA
        STA ,X
        LDA ,S
        ANDA FM1
        STA TMPA
        LDA ,S
        COMA
        ANDA BM1
        ORA TMPA
        STA PLANE1,X
        LDA ,S
        ANDA FM2
        STA TMPA
        PULS A
        COMA
        ANDA BM2
        ORA TMPA
        STA PLANE2,X
        RTS

* setcol: plane masks for the colours FG and BG.
setcol  LDA FG
        LDX #FM0
        BSR .masks
        LDA BG
        LDX #BM0
        BSR .masks
        CLR FAST
        LDA FG
        CMPA #7
        BNE .r
        TST BG
        BNE .r
        INC FAST
.r      RTS
.masks  LDB #3
.m      LSRA
        PSHS A
        LDA #0
        BCC .z
        LDA #$FF
.z      STA ,X+
        PULS A
        DECB
        BNE .m
        RTS

* ---------------------------------------------------------------- interrupts
nmi     INC TICKS
        RTI

firq    PSHS A,B,X
        LDB S_KEYHI         ; function-key bit; no side effect
        BMI .fkey
        LDB SH_SUB+SH_KHEAD
        INCB
        ANDB #SH_KMASK
        CMPB SH_SUB+SH_KTAIL
        BEQ .full
        LDA S_KEYLO         ; the code; acknowledges the FIRQ
        JSR kput
.r      PULS A,B,X
        RTI
.fkey   TST FKLEFT          ; a function key: its text goes into the ring
        BNE .full           ; (after the rest of the last one's)
        LDA S_KEYLO
        JSR fkstart
        JSR fkmove
        BRA .r
.full   LDA 4,S             ; ring full: the code stays in the latch and
        ORA #$40            ; the FIRQ masked until getk makes room
        STA 4,S
        BRA .r

irq     LDA S_CANCEL        ; acknowledge the main CPU's cancel request
        LDA #1
        STA CANCEL
        RTI

swi     RTI

        INCLUDE "subedit.asm"
        INCLUDE "subgfx.asm"
        INCLUDE "subkeys.asm"
        INCLUDE "font.asm"

        ORG $FFF2
        FDB swi             ; SWI3
        FDB swi             ; SWI2
        FDB firq
        FDB irq
        FDB swi             ; SWI
        FDB nmi
        FDB reset
        END
