* main.asm: the main CPU's firmware in the BASIC image (8000-FBFF,
* "fb30rom1.dat"): a small machine-language monitor.
*
* The boot trap starts it at the cold-start address kept at FBFE when no disk
* boots; a hot start enters at the address kept at FBFC and keeps memory.
* The monitor installs the interrupt vectors in RAM at FFF2-FFFD before it
* unmasks interrupts, counts the timer IRQs, and talks to the sub CPU through
* the boot image's command routine for all text in and out. BREAK (the FIRQ
* with FD04 bit 1 low) stops whatever runs and returns to the prompt.
*
* Tape, disk and kanji work goes through the routines at F21F, F2B0, F330 and
* FE08, whose first byte the host replaces with its trap.
*
* Tape format written by SAVE: a leader of FF bytes, then blocks of
*   01 3C type length data... checksum
* where the checksum is the low byte of the sum of type, length and data.
* Type 00 is the header (8-byte name padded with spaces, start, length and
* entry address, high byte first), 01 a data block of up to 255 bytes, FF
* the end.

        INCLUDE "defs.inc"

* Monitor RAM (7C00-7FFF; programs should keep out of it).
OBUF    EQU $7C00           ; characters waiting to go to the sub CPU
RBUF    EQU $7C80           ; reply of the sub CPU: status, length, data
OLEN    EQU $7D60           ; characters in OBUF
ATTN    EQU $7D61           ; attention FIRQs seen
KIRQ    EQU $7D62           ; 1: the main CPU takes key interrupts
TICKS   EQU $7D64           ; timer IRQs counted, 32 bits, high byte first
DADDR   EQU $7D68           ; next address to dump
DEND    EQU $7D6A           ; last address to dump
PTR     EQU $7D6C           ; parse position in LINBUF
HEXV    EQU $7D6E           ; number being parsed
HEXN    EQU $7D70           ; digits parsed
NAMEF   EQU $7D71           ; 1: LOAD was given a name
LADDRF  EQU $7D72           ; 1: LOAD was given an address
CKSUM   EQU $7D73           ; tape block checksum
LADDR   EQU $7D74           ; LOAD address (2)
TREM    EQU $7D76           ; bytes still to save (2)
TBLEN   EQU $7D78           ; length of the block being saved (2)
TCOUNT  EQU $7D7A           ; tape bytes read without a block start (2)
LPOS    EQU $7D7C           ; characters of the line received so far
REGS    EQU $7D80           ; registers at the last SWI: CC A B DP X Y U PC S
TREQ    EQU $7D90           ; tape / kanji request block (8)
DREQ    EQU $7D98           ; disk request block (8)
TNAME   EQU $7DA0           ; tape header: name (8), start, length, entry
TSTART  EQU $7DA8
TLEN    EQU $7DAA
TEXEC   EQU $7DAC
NAMEARG EQU $7DB0           ; name LOAD looks for (8)
KBUF    EQU $7E00           ; kanji pattern (32)
TBUF    EQU $7E00           ; tape header block (256)
STACK   EQU $8000           ; stack 7F00-7FFF
SYSEND  EQU $7F00

        ORG $8000
* Entry points for programs.
        JMP bcold           ; 8000 cold start (the BASIC)
        JMP hot             ; 8003 hot start
        JMP putc            ; 8006 print A (buffered; a CR sends the line)
        JMP puts            ; 8009 print the zero-terminated string at X
        JMP getline         ; 800C edit a line into LINBUF
        JMP prompt          ; 800F back to the monitor prompt
        JMP flush           ; 8012 send buffered characters now

* ---------------------------------------------------------------- start
cold    ORCC #$50
        LDS #STACK
        CLRA
        TFR A,DP
        LDX #OBUF
.clr    CLR ,X+
        CMPX #SYSEND
        BLO .clr
        BSR sysinit
        LDX #banner
        JSR puts
        JMP prompt

hot     ORCC #$50
        LDS #STACK
        CLRA
        TFR A,DP
        CLR OLEN
        BSR sysinit
        LDX #hotmsg
        JSR puts
        JMP prompt

* sysinit: interrupt vectors, then the timer IRQ; keys go to the sub CPU.
sysinit LDX #swi
        STX $FFF2           ; SWI3
        STX $FFF4           ; SWI2
        STX $FFFA           ; SWI
        LDX #firq
        STX $FFF6
        LDX #irq
        STX $FFF8
        LDX #nmi
        STX $FFFC
        CLR KIRQ
        LDA #$04
        STA M_IRQEN
        RTS

* ---------------------------------------------------------------- prompt
prompt  LDS #STACK
        ANDCC #$AF
        LDX #prmsg
        JSR puts
        JSR getline
        LDX #LINBUF
        JSR skipsp
        LDA ,X
        BEQ prompt
        CMPA #'>'           ; an earlier command line entered again
        BNE .word
        LEAX 1,X
        JSR skipsp
        LDA ,X
        BEQ prompt
.word   JSR lookup
        BCS .err
        JSR ,X
        BRA prompt
.err    JMP synerr

* lookup: find the command word at PTR. X = its routine and PTR past the
* word, C = 0; C = 1 when unknown.
lookup  LDY #cmdtab
.entry  LDA ,Y
        BEQ .nf
        LDX PTR
.cmp    LDB ,Y+
        BEQ .end
        LDA ,X+
        JSR upper
        PSHS B
        CMPA ,S+
        BEQ .cmp
.skip   LDB ,Y+
        BNE .skip
        LEAY 2,Y
        BRA .entry
.end    LDA ,X
        JSR isdelim
        BEQ .hit
        LEAY 2,Y
        BRA .entry
.hit    STX PTR
        LDX ,Y
        ANDCC #$FE
        RTS
.nf     ORCC #$01
        RTS

cmdtab  FCB "HELP",0
        FDB chelp
        FCB "?",0
        FDB chelp
        FCB "D",0
        FDB cdump
        FCB "E",0
        FDB cedit
        FCB "F",0
        FDB cfill
        FCB "G",0
        FDB cgo
        FCB "R",0
        FDB creg
        FCB "CLS",0
        FDB ccls
        FCB "COLOR",0
        FDB ccolor
        FCB "SAVE",0
        FDB csave
        FCB "LOAD",0
        FDB cload
        FCB "DIR",0
        FDB cdir
        FCB "DR",0
        FDB cdread
        FCB "DW",0
        FDB cdwrite
        FCB "KANJI",0
        FDB ckanji
        FCB "TIME",0
        FDB ctime
        FCB "KEY",0
        FDB ckey
        FCB "KEYIRQ",0
        FDB ckeyirq
        FCB "BEEP",0
        FDB cbeep
        FCB "BOOT",0
        FDB cboot
        FCB "BASIC",0
        FDB bwarm
        FCB 0

synerr  LDX #errmsg
        JSR puts
        JMP prompt

* ---------------------------------------------------------------- parsing
* upper: A in upper case.
upper   CMPA #'a'
        BLO .r
        CMPA #'z'
        BHI .r
        SUBA #$20
.r      RTS

* isdelim: Z = 1 when A ends a word (end of line, space or comma).
isdelim TSTA
        BEQ .r
        CMPA #' '
        BEQ .r
        CMPA #','
.r      RTS

* skipsp: X and PTR past spaces and commas.
skipsp  LDA ,X
        BEQ .r
        CMPA #' '
        BEQ .n
        CMPA #','
        BNE .r
.n      LEAX 1,X
        BRA skipsp
.r      STX PTR
        RTS

* gethex: a hex number at PTR -> D, C = 0. C = 1 if there is none (or it
* runs into something that is not a delimiter).
gethex  LDX PTR
        JSR skipsp
        CLR HEXV
        CLR HEXV+1
        CLR HEXN
.dig    LDA ,X
        JSR upper
        SUBA #'0'
        BLO .end
        CMPA #9
        BLS .add
        SUBA #7
        CMPA #10
        BLO .end
        CMPA #15
        BHI .end
.add    LEAX 1,X
        PSHS A
        LDD HEXV
        LSLB
        ROLA
        LSLB
        ROLA
        LSLB
        ROLA
        LSLB
        ROLA
        ORB ,S+
        STD HEXV
        INC HEXN
        BRA .dig
.end    STX PTR
        TST HEXN
        BEQ .none
        LDA ,X
        JSR isdelim
        BNE .none
        LDD HEXV
        ANDCC #$FE
        RTS
.none   ORCC #$01
        RTS

* needhex: like gethex, but a missing number is a syntax error.
needhex JSR gethex
        BCS .err
        RTS
.err    JMP synerr

* endln: nothing but spaces may follow the arguments.
endln   LDX PTR
        JSR skipsp
        LDA ,X
        BNE .err
        RTS
.err    JMP synerr

* getname: a name at PTR into the 8 bytes at U, padded with spaces.
* C = 1 if there is none.
getname LDX PTR
        JSR skipsp
        LDA ,X
        JSR isdelim
        BEQ .none
        LDB #8
.cp     LDA ,X
        JSR isdelim
        BEQ .pad
        LEAX 1,X
        STA ,U+
        DECB
        BNE .cp
.skip   LDA ,X              ; a longer name is cut at 8
        JSR isdelim
        BEQ .done
        LEAX 1,X
        BRA .skip
.pad    LDA #' '
.p      STA ,U+
        DECB
        BNE .p
.done   STX PTR
        ANDCC #$FE
        RTS
.none   ORCC #$01
        RTS

* ---------------------------------------------------------------- output
* putc: A into the output buffer; a CR or a full buffer sends it.
putc    PSHS B,X
        LDB OLEN
        LDX #OBUF
        STA B,X
        INCB
        STB OLEN
        CMPA #CH_CR
        BEQ .send
        CMPB #SH_DMAX
        BLO .r
.send   BSR flush
.r      PULS B,X,PC

* flush: send the buffered characters to the sub CPU.
flush   PSHS A,B,X,U
        LDB OLEN
        BEQ .r
        LDX #OBUF
        LDU #0
        LDA #C_PRINT
        JSR SV_SUBCMD
        CLR OLEN
.r      PULS A,B,X,U,PC

puts    PSHS A,X
.l      LDA ,X+
        BEQ .r
        BSR putc
        BRA .l
.r      PULS A,X,PC

crlf    LDA #CH_CR
        BRA putc
space   LDA #' '
        BRA putc

* hex2: A as two hex digits; hex4: D as four. B and X are kept by hex2.
hex4    PSHS B
        BSR hex2
        PULS A
hex2    PSHS A
        LSRA
        LSRA
        LSRA
        LSRA
        BSR .nib
        PULS A
        ANDA #$0F
.nib    ADDA #'0'
        CMPA #'9'
        BLS .p
        ADDA #7
.p      BRA putc

* dec2: A (0-99) as two decimal digits.
dec2    LDB #'0'-1
.t      INCB
        SUBA #10
        BCC .t
        ADDA #'0'+10
        PSHS A
        TFR B,A
        BSR putc
        PULS A
        BRA putc

* visible: A as itself if the font has it, else '.'.
visible CMPA #$20
        BLO .dot
        CMPA #$7F
        BLO .r
        CMPA #$A1
        BLO .dot
        CMPA #$DF
        BLS .r
.dot    LDA #'.'
.r      RTS

* ---------------------------------------------------------------- input
* getline: the sub CPU's screen editor hands over the line entered, in
* parts of up to SH_DMAX characters; it ends up in LINBUF, zero-terminated
* (empty when the edit was cancelled). All registers are kept.
getline PSHS A,B,X,Y,U
        JSR flush
        LDY #LINBUF
        LDA #C_INPUT
        CLRB
.ask    LDX #LPOS
        LDU #RBUF
        JSR SV_SUBCMD
        LDA RBUF
        CMPA #ST_CANCEL
        BEQ .cancel
        LDB RBUF+1
        BEQ .z              ; nothing more
        LDX #RBUF+2
.c      CMPY #LINBUF+LINMAX
        BHS .z              ; full: the rest is not taken
        LDA ,X+
        STA ,Y+
        DECB
        BNE .c
        LDA RBUF
        CMPA #ST_MORE
        BNE .z
        TFR Y,D
        SUBD #LINBUF
        STB LPOS
        LDA #C_MORE
        LDB #1
        BRA .ask
.cancel LDY #LINBUF
.z      CLR ,Y
        PULS A,B,X,Y,U,PC

* getkey: wait for one key -> A (0 if cancelled).
getkey  PSHS B,X,U
        JSR flush
        LDA #C_GETKEY
        CLRB
        LDX #0
        LDU #RBUF
        JSR SV_SUBCMD
        LDA RBUF+2
        TST RBUF
        BEQ .r
        CLRA
.r      PULS B,X,U,PC

* ---------------------------------------------------------------- interrupts
* IRQ: the timer is counted; a key (when the main CPU takes key interrupts)
* goes into the sub CPU's key ring, so the line editor sees it as typed.
irq     LDA M_IRQST         ; reading acknowledges both causes
        BITA #$04
        BNE .key
        INC TICKS+3
        BNE .key
        INC TICKS+2
        BNE .key
        INC TICKS+1
        BNE .key
        INC TICKS
.key    BITA #$01
        BNE .r
        LDB M_KEYHI
        BMI .r              ; function keys are not used
        LDB M_KEYLO
        LDA #$80
        STA M_SUBCTL        ; halt the sub CPU to reach the ring
        LDA SH_MAIN+SH_KHEAD
        INCA
        ANDA #SH_KMASK
        CMPA SH_MAIN+SH_KTAIL
        BEQ .full
        PSHS A
        LDA SH_MAIN+SH_KHEAD
        LDX #SH_MAIN+SH_KBUF
        STB A,X
        PULS A
        STA SH_MAIN+SH_KHEAD
.full   CLRA
        STA M_SUBCTL
.r      RTI

* FIRQ: attention from the sub CPU (it finished a line or a key wait), or
* BREAK. BREAK abandons whatever runs.
firq    PSHS A
        LDA M_FIRQST        ; reading acknowledges the attention request
        BITA #$02
        BEQ .brk
        INC ATTN
        PULS A
        RTI
.brk    LDS #STACK
        LDA #$40            ; release the sub CPU and cancel what it waits for
        STA M_SUBCTL
        CLR OLEN
        ANDCC #$EF          ; the timer goes on; FIRQ stays masked
.wait   LDA M_FIRQST
        BITA #$02
        BEQ .wait           ; until BREAK is let go
        LDX #brkmsg
        JSR puts
        JMP prompt

* SWI (and SWI2, SWI3): a breakpoint. The registers are kept for R.
swi     LDX #REGS
        LDB #12
.cp     LDA ,S+
        STA ,X+
        DECB
        BNE .cp
        STS REGS+12
        LDS #STACK
        LDX #swimsg
        JSR puts
        JSR creg
        JMP prompt

nmi     RTI

* ---------------------------------------------------------------- commands
chelp   LDX #helptx
        JMP puts

* D [from [to]]: dump 128 bytes, or from..to; D alone goes on.
cdump   JSR gethex
        BCS .eight
        STD DADDR
        JSR gethex
        BCS .eight
        STD DEND
        JSR endln
        BRA .line
.eight  JSR endln
        LDD DADDR
        ADDD #$7F
        BCC .e
        LDD #$FFFF
.e      STD DEND
.line   LDD DADDR
        JSR hex4
        JSR space
        JSR space
        LDX DADDR
        LDB #16
.h      LDA ,X+
        JSR hex2
        JSR space
        DECB
        BNE .h
        JSR space
        LDX DADDR
        LDB #16
.a      LDA ,X+
        JSR visible
        JSR putc
        DECB
        BNE .a
        JSR crlf
        LDD DADDR
        ADDD #16
        STD DADDR
        BCS .r              ; past FFFF
        SUBD #1
        CMPD DEND
        BLO .line
.r      RTS

* E addr bb bb ...: write bytes.
cedit   JSR needhex
        PSHS D              ; the address
        LDX PTR             ; check the bytes first, then write them
        PSHS X
.chk    JSR gethex
        BCC .chk
        JSR endln
        PULS X
        STX PTR
        PULS Y
.l      JSR gethex
        BCS .r
        STB ,Y+
        BRA .l
.r      RTS

* F from to bb: fill.
cfill   JSR needhex
        PSHS D
        JSR needhex
        PSHS D
        JSR needhex
        JSR endln
        PULS X,Y            ; X = to, Y = from
        EXG X,Y
.l      STB ,X
        PSHS X
        CMPY ,S++
        BEQ .r
        LEAX 1,X
        BRA .l
.r      RTS

* G addr: call; RTS comes back to the prompt.
cgo     JSR needhex
        PSHS D
        JSR endln
        PULS X
        JSR flush
        JMP ,X

* R: the registers kept at the last SWI.
creg    LDY #regtab
.l      LDB ,Y+
        CMPB #$FF
        BEQ .d
        LDA ,Y+
        PSHS A,B
        TFR Y,X
        JSR puts
.s      LDA ,Y+
        BNE .s
        PULS A,B
        LDX #REGS
        ABX
        CMPA #2
        BEQ .w
        LDA ,X
        JSR hex2
        BRA .l
.w      LDD ,X
        JSR hex4
        BRA .l
.d      JMP crlf

regtab  FCB 10,2,"PC=",0
        FCB 1,1," A=",0
        FCB 2,1," B=",0
        FCB 4,2," X=",0
        FCB 6,2," Y=",0
        FCB 8,2," U=",0
        FCB 12,2," S=",0
        FCB 3,1," DP=",0
        FCB 0,1," CC=",0
        FCB $FF

ccls    LDA #CH_CLS
        JSR putc
        JMP flush

* COLOR n: text colour 0-7.
ccolor  JSR needhex
        JSR endln
        ANDB #7
        LDA #CH_ESC
        JSR putc
        TFR B,A
        ADDA #'0'
        JSR putc
        JMP flush

cbeep   LDA #CH_BEL
        JSR putc
        JMP flush

* TIME: the timer IRQs counted since the cold start, in hex.
ctime   LDX #timemsg
        JSR puts
        ORCC #$10
        LDD TICKS
        LDX TICKS+2
        ANDCC #$EF
        JSR hex4
        TFR X,D
        JSR hex4
        JMP crlf

* KEY: wait for a key and show its code.
ckey    LDX #keymsg
        JSR puts
        JSR getkey
        JSR hex2
        JMP crlf

* KEYIRQ: switch between keys through the sub CPU (FIRQ) and key interrupts
* of the main CPU.
ckeyirq LDA KIRQ
        EORA #1
        STA KIRQ
        ORA #$04
        STA M_IRQEN
        LDX #kirqoff
        TST KIRQ
        BEQ .p
        LDX #kirqon
.p      JMP puts

* BOOT: start again through the boot entry (a disk boots, or the monitor).
cboot   JSR flush
        ORCC #$50
        JMP T_BOOT

* ---------------------------------------------------------------- kanji
* KANJI jis: the 16 x 16 pattern from the kanji routine, in hex and drawn.
ckanji  JSR needhex
        STD TREQ+4
        JSR endln
        LDX #KBUF
        STX TREQ+2
        LDX #TREQ
        JSR T_KANJI
        LDX #KBUF
        BSR hexrow
        BSR hexrow
        JSR flush
        LDA #C_PATTERN
        LDB #32
        LDX #KBUF
        LDU #0
        JSR SV_SUBCMD
        JSR crlf
        JMP crlf

* hexrow: 16 bytes at X in hex; X moves past them.
hexrow  LDB #16
.l      LDA ,X+
        JSR hex2
        JSR space
        DECB
        BNE .l
        JMP crlf

* ---------------------------------------------------------------- disk
* DR / DW addr drive track sector [side]: one sector through the disk
* request-block routine.
cdread  LDA #10
        BRA disk
cdwrite LDA #9
disk    STA DREQ
        JSR needhex
        STD DREQ+2
        JSR needhex
        STB DREQ+7
        JSR needhex
        STB DREQ+4
        JSR needhex
        STB DREQ+5
        JSR gethex
        BCC .side
        CLRB
.side   STB DREQ+6
        JSR endln
        LDX #DREQ
        JSR T_DISK
        BCS .err
        LDX #okmsg
        JMP puts
.err    PSHS A
        LDX #dskerr
        JSR puts
        PULS A
        JSR dec2
        JMP crlf

* ---------------------------------------------------------------- tape
* tput: A to the tape; A, B, X kept.
tput    PSHS A,B,X
        STA TREQ+2
        LDX #TREQ
        JSR T_TAPEWR
        PULS A,B,X,PC

* tget: the next tape byte -> A; B, X kept.
tget    PSHS B,X
        LDX #TREQ
        JSR T_TAPERD
        LDA TREQ+2
        PULS B,X,PC

* tblock: write a block. A = type, B = length, X = data.
tblock  PSHS A,B,X
        LDA #$01
        JSR tput
        LDA #$3C
        JSR tput
        LDA ,S
        JSR tput
        STA CKSUM
        LDA 1,S
        JSR tput
        ADDA CKSUM
        STA CKSUM
        LDB 1,S
        BEQ .sum
        LDX 2,S
.l      LDA ,X+
        JSR tput
        ADDA CKSUM
        STA CKSUM
        DECB
        BNE .l
.sum    LDA CKSUM
        JSR tput
        PULS A,B,X,PC

* tsync: read up to the next block start 01 3C. C = 1 at the end of the
* tape (2048 bytes without one).
tsync   CLR TCOUNT
        CLR TCOUNT+1
.a      JSR tget
.b      CMPA #$01
        BEQ .one
        JSR tcount
        BCS .r
        BRA .a
.one    JSR tget
        CMPA #$3C
        BEQ .got
        JSR tcount
        BCS .r
        BRA .b
.got    ANDCC #$FE
.r      RTS

tcount  PSHS A,B
        LDD TCOUNT
        ADDD #1
        STD TCOUNT
        CMPD #2048
        PULS A,B
        BLO .ok
        ORCC #$01
        RTS
.ok     ANDCC #$FE
        RTS

* tbody: the rest of a block whose type A has been read: length and data to
* X, then the checksum. B = length; C = 1 if the checksum is wrong.
tbody   STA CKSUM
        JSR tget
        TFR A,B
        ADDA CKSUM
        STA CKSUM
        PSHS B
        TSTB
        BEQ .ck
.l      JSR tget
        STA ,X+
        ADDA CKSUM
        STA CKSUM
        DECB
        BNE .l
.ck     JSR tget
        CMPA CKSUM
        PULS B
        BNE .bad
        ANDCC #$FE
        RTS
.bad    ORCC #$01
        RTS

* findhdr: the next good header block -> TNAME..TEXEC. C = 1 at the end.
findhdr JSR tsync
        BCS .r
        JSR tget
        TSTA
        BNE findhdr         ; not a header
        LDX #TBUF
        JSR tbody
        BCS findhdr
        CMPB #14
        BLO findhdr
        LDX #TBUF
        LDU #TNAME
        LDB #14
.cp     LDA ,X+
        STA ,U+
        DECB
        BNE .cp
        ANDCC #$FE
.r      RTS

* SAVE name from to
csave   LDU #TNAME
        JSR getname
        BCS .err
        JSR needhex
        STD TSTART
        STD TEXEC
        JSR needhex
        PSHS D
        JSR endln
        PULS D
        SUBD TSTART
        BCS .err
        ADDD #1
        BEQ .err
        STD TLEN
        LDB #32             ; leader
        LDA #$FF
.ld     JSR tput
        DECB
        BNE .ld
        CLRA
        LDB #14
        LDX #TNAME
        JSR tblock
        LDX TSTART
        LDD TLEN
        STD TREM
.blk    LDD TREM
        BEQ .end
        CMPD #255
        BLS .n
        LDD #255
.n      CLR TBLEN
        STB TBLEN+1
        LDA #$01
        JSR tblock
        ABX
        LDD TREM
        SUBD TBLEN
        STD TREM
        BRA .blk
.end    LDA #$FF
        CLRB
        JSR tblock
        LDX #savmsg
        JSR puts
        JSR pname
        JMP crlf
.err    JMP synerr

* pname: the name at TNAME without its padding; pnamepad: all 8 characters.
pname   LDB #8
        LDX #TNAME+8
.len    LDA ,-X
        CMPA #' '
        BNE .go
        DECB
        BNE .len
        RTS
.go     LDX #TNAME
        BRA pnout
pnamepad LDB #8
        LDX #TNAME
pnout   LDA ,X+
        JSR visible
        JSR putc
        DECB
        BNE pnout
        RTS

* LOAD [name [addr]]: the next file (of that name) from the tape, to its
* own address or to addr.
cload   CLR NAMEF
        CLR LADDRF
        LDU #NAMEARG
        JSR getname
        BCS .find
        INC NAMEF
        JSR gethex
        BCS .find
        STD LADDR
        INC LADDRF
.find   JSR endln
.again  JSR findhdr
        BCS .nf
        LDX #fndmsg
        JSR puts
        JSR pname
        TST NAMEF
        BEQ .take
        LDX #TNAME
        LDU #NAMEARG
        LDB #8
.cmp    LDA ,X+
        CMPA ,U+
        BNE .skip
        DECB
        BNE .cmp
        BRA .take
.skip   LDX #skpmsg
        JSR puts
        BRA .again
.take   JSR crlf
        LDX TSTART
        TST LADDRF
        BEQ .dst
        LDX LADDR
.dst    PSHS X              ; first address
.blk    JSR tsync
        BCS .bad
        JSR tget
        CMPA #$FF
        BEQ .end
        CMPA #$01
        BNE .bad
        JSR tbody
        BCS .bad
        BRA .blk
.end    LEAX -1,X           ; last address loaded
        PSHS X
        LDX #lodmsg
        JSR puts
        PULS X
        PULS D
        JSR hex4
        LDA #'-'
        JSR putc
        TFR X,D
        JSR hex4
        JMP crlf
.bad    LDX #tperr
        JSR puts
        PULS X,PC
.nf     LDX #nfmsg
        JMP puts

* DIR: the files on the tape from here to its end.
cdir    JSR endln
.next   JSR findhdr
        BCS .end
        JSR pnamepad
        JSR space
        LDD TSTART
        JSR hex4
        JSR space
        LDD TLEN
        JSR hex4
        JSR crlf
        BRA .next
.end    LDX #eotmsg
        JMP puts

* ---------------------------------------------------------------- texts
banner  FCC "Quillon "
        INCLUDE "version.inc"
        FCB " free firmware",CH_CR
        FCB "Monitor ready. Type HELP for the commands.",CH_CR,0
hotmsg  FCB "Hot start",CH_CR,0
prmsg   FCB "> ",0
errmsg  FCB "?",CH_BEL,CH_CR,0
brkmsg  FCB CH_CR,"Break",CH_CR,0
swimsg  FCB CH_CR,"SWI",CH_CR,0
okmsg   FCB "OK",CH_CR,0
dskerr  FCB "Disk error ",0
timemsg FCB "Ticks ",0
keymsg  FCB "Press a key: ",0
kirqon  FCB "Key IRQ on",CH_CR,0
kirqoff FCB "Key IRQ off",CH_CR,0
savmsg  FCB "Saved ",0
fndmsg  FCB "Found ",0
skpmsg  FCB " skipped",CH_CR,0
lodmsg  FCB "Loaded ",0
tperr   FCB "Tape error",CH_BEL,CH_CR,0
nfmsg   FCB "Not found",CH_CR,0
eotmsg  FCB "End of tape",CH_CR,0
helptx  FCB "Commands (numbers in hex):",CH_CR
        FCB " D [from [to]]       dump memory",CH_CR
        FCB " E addr bb bb ...    edit memory",CH_CR
        FCB " F from to bb        fill memory",CH_CR
        FCB " G addr              call a program (RTS returns)",CH_CR
        FCB " R                   registers at the last SWI",CH_CR
        FCB " CLS, COLOR n        clear the screen, text colour 0-7",CH_CR
        FCB " SAVE name from to   save memory to tape",CH_CR
        FCB " LOAD [name [addr]]  load a file from tape",CH_CR
        FCB " DIR                 list the files on the tape",CH_CR
        FCB " DR/DW addr drive track sector [side]  disk sector",CH_CR
        FCB " KANJI jis           show a kanji pattern",CH_CR
        FCB " TIME, KEY, KEYIRQ, BEEP, BOOT",CH_CR
        FCB " BASIC               back to the BASIC, program kept",CH_CR,0

* The BASIC (it includes the number package's contract, float.inc).
        INCLUDE "basic/basic.asm"
codeend

* The BASIC's number package.
        INCLUDE "basic/float.asm"
        INCLUDE "basic/fpconv.asm"
        INCLUDE "basic/fpmath.asm"
        SETDP 0

* ---------------------------------------------------------------- traps
* The host replaces the first byte of each routine with its trap opcode.
* What follows runs only on a machine without those host routines.
        ORG T_KANJI
kanji   FCB TRAPOP
        PSHS B,X,Y          ; no pattern source: an empty pattern
        LDY 2,X
        LDB #32
.l      CLR ,Y+
        DECB
        BNE .l
        PULS B,X,Y
        CLRA
        RTS

        ORG T_TAPEWR
tapewr  FCB TRAPOP
        CLRA                ; no tape: the byte is lost
        RTS

        ORG T_TAPERD
taperd  FCB TRAPOP
        LDA #$FF            ; no tape: FF, as at the end of one
        STA 2,X
        CLRA
        RTS

* The BASIC's file system on the disk, after the traps.
        SETDP $70
        INCLUDE "basic/disk.asm"
        SETDP 0

        ORG $FBFC
        FDB bhot            ; hot start: the BASIC keeps its program
        FDB bcold           ; cold start: the BASIC
        END
